// Runs a fuzz target's LLVMFuzzerTestOneInput once on every file of the given
// corpus directories, without libFuzzer, so that the seeds and the inputs that
// once broke a target stay checked in every build. A broken property aborts
// the process; the input's name is printed before it runs.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIRECTORY...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir corpus(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : corpus.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            QFile file(corpus.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 1;
            }
            const QByteArray input = file.readAll();
            std::fprintf(stderr, "%s (%lld bytes)\n", qPrintable(file.fileName()),
                         static_cast<long long>(input.size()));
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                   static_cast<std::size_t>(input.size()));
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    // A corpus that cannot be found must not pass as an empty one.
    return replayed > 0 ? 0 : 1;
}
