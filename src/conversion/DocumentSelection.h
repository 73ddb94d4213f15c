// A set of documents of a run named by their ordinals (the report's "Lp"),
// kept as ranges: "3,7-9".
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace przenosnik {

class DocumentSelection
{
public:
    struct Range
    {
        int first = 0;
        int last = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };

    DocumentSelection() = default;
    // The ordinals given, in any order; those below 1 are left out.
    static DocumentSelection fromOrdinals(QList<int> ordinals);
    // Reads "3,7-9": ordinals and ranges from 1 on, separated by commas, blanks
    // allowed around each. Answers nothing, with the reason, for any other text.
    static std::optional<DocumentSelection> parse(const QString& text, QString* error = nullptr);

    bool contains(int ordinal) const;
    // The ordinals it holds from `first` on.
    DocumentSelection from(int first) const;
    bool isEmpty() const { return m_ranges.isEmpty(); }
    // How many ordinals it holds.
    qint64 count() const;
    // Sorted, overlapping and touching ranges merged.
    const QList<Range>& ranges() const { return m_ranges; }
    // The shortest text that parse() reads back as this selection.
    QString text() const;

    friend bool operator==(const DocumentSelection&, const DocumentSelection&) = default;

private:
    void normalise();

    QList<Range> m_ranges;
};

} // namespace przenosnik
