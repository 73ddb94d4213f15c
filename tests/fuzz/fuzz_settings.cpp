// The settings file under arbitrary bytes: read it, apply section MAIN to the
// run options and the window placement, write the options and placement back,
// read the result again: the second reading must give the same values, and
// every key nobody wrote must keep its value.
#include "FuzzCheck.h"
#include "FuzzTempFile.h"

#include "conversion/RunConversion.h"
#include "settings/IniFile.h"
#include "settings/MainSettings.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValue.h"
#include "settings/WindowPlacement.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace przenosnik;

namespace {

const QString Main = QString::fromLatin1(MainSettingsSection);

bool sameSettings(const ConversionSettings& a, const ConversionSettings& b)
{
    return a.exportFile == b.exportFile && a.companyDirectory == b.companyDirectory &&
           a.ledgerEncoding == b.ledgerEncoding && a.sym2006 == b.sym2006 && a.szablon31 == b.szablon31 &&
           a.postalCode == b.postalCode && a.attribute == b.attribute && a.registerId == b.registerId &&
           a.defaultDescription == b.defaultDescription && a.alwaysDescription == b.alwaysDescription &&
           a.dryRun == b.dryRun && a.skipDuplicates == b.skipDuplicates;
}

ConversionSettings applied(const IniFile& contents)
{
    ConversionSettings settings;
    applyMainSettings(SettingsStore(Main, contents), settings);
    return settings;
}

// Every key of the first file keeps its value in the second, unless it was
// one of the keys written.
void checkKept(const IniFile& before, const IniFile& after, const QStringList& written)
{
    for (const QString& section : before.sections()) {
        PRZ_FUZZ_CHECK(after.hasSection(section));
        const bool main = section.compare(Main, Qt::CaseInsensitive) == 0;
        for (const QString& key : before.keys(section)) {
            if (main && written.contains(key, Qt::CaseInsensitive))
                continue;
            PRZ_FUZZ_CHECK(after.value(section, key) == before.value(section, key));
        }
    }
}

ScreenInfo screen()
{
    ScreenInfo info;
    info.desktop = QSize(1920, 1080);
    info.pixelsPerInch = 96;
    info.monitors = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    return info;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniFile first = IniFile::fromBytes(bytes);

    // The text form is stable: writing what was read and reading it again
    // gives the same file.
    const QByteArray firstBytes = first.toBytes();
    const IniFile reread = IniFile::fromBytes(firstBytes);
    PRZ_FUZZ_CHECK(reread.toBytes() == firstBytes);
    PRZ_FUZZ_CHECK(reread.sections() == first.sections());
    checkKept(first, reread, {});

    // Apply: from memory and from the file on disk alike.
    const ConversionSettings settings = applied(first);
    const fuzz::ScratchDirectory& scratch = fuzz::ScratchDirectory::instance();
    const QString path = scratch.write(QString::fromLatin1(MainSettingsFile), bytes);
    ConversionSettings fromFile;
    PRZ_FUZZ_CHECK(loadMainSettingsFile(path, fromFile));
    PRZ_FUZZ_CHECK(sameSettings(fromFile, settings));

    const ScreenInfo display = screen();
    const QRect current(100, 100, 800, 600);
    const PlacementRestore placement = decidePlacement(SettingsStore(Main, first), display, current);

    // Write the values and the placement back through the file's own store.
    {
        SettingsStore store(QString::fromLatin1(MainSettingsFile), Main, scratch.path());
        PRZ_FUZZ_CHECK(store.contents().toBytes() == firstBytes);
        if (placement.restore) {
            PlacementSave save;
            save.state = placement.state;
            save.flags = placement.flags;
            save.pixelsPerInch = display.pixelsPerInch;
            save.desktop = display.desktop;
            save.minMaxPosition = placement.minMaxPosition;
            save.normalGeometry = placement.normalGeometry.value_or(current);
            savePlacement(store, save);
        }
        ConversionSettings values = settings;
        saveStoredValues(store, mainStoredValues(values));
        PRZ_FUZZ_CHECK(store.writeFile());
    }

    QFile file(path);
    PRZ_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const IniFile second = IniFile::fromBytes(file.readAll());
    PRZ_FUZZ_CHECK(second.encoding() == first.encoding());
    PRZ_FUZZ_CHECK(sameSettings(applied(second), settings));

    QStringList written = mainSettingKeys();
    written << QStringLiteral("FormVersion") << QStringLiteral("ShowCmd") << QStringLiteral("Flags")
            << QStringLiteral("PixelsPerInch") << QStringLiteral("MinMaxPos") << QStringLiteral("NormPos")
            << minMaxPosKey(display.desktop) << normPosKey(display.desktop);
    checkKept(first, second, written);

    if (placement.restore) {
        const PlacementRestore again = decidePlacement(SettingsStore(Main, second), display, current);
        PRZ_FUZZ_CHECK(again.restore);
        PRZ_FUZZ_CHECK(again.state == placement.state);
        PRZ_FUZZ_CHECK(again.flags == placement.flags);
        PRZ_FUZZ_CHECK(again.minMaxPosition == placement.minMaxPosition);
        PRZ_FUZZ_CHECK(again.normalGeometry == placement.normalGeometry.value_or(current));
    }
    return 0;
}
