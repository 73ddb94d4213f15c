#include "conversion/DocumentSelection.h"

#include <QStringList>

#include <algorithm>

namespace przenosnik {

namespace {
// An ordinal as written: decimal digits only, at least 1, within int.
std::optional<int> ordinalValue(const QString& text)
{
    if (text.isEmpty() || !std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        }))
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1)
        return std::nullopt;
    return value;
}
} // namespace

DocumentSelection DocumentSelection::fromOrdinals(QList<int> ordinals)
{
    DocumentSelection selection;
    for (int ordinal : ordinals) {
        if (ordinal >= 1)
            selection.m_ranges.append(Range{ordinal, ordinal});
    }
    selection.normalise();
    return selection;
}

std::optional<DocumentSelection> DocumentSelection::parse(const QString& text, QString* error)
{
    DocumentSelection selection;
    const auto refuse = [error](const QString& item) -> std::optional<DocumentSelection> {
        if (error)
            *error = QStringLiteral("\"%1\" nie jest numerem dokumentu ani zakresem (np. 3,7-9)").arg(item);
        return std::nullopt;
    };
    for (const QString& raw : text.split(QLatin1Char(','))) {
        const QString item = raw.trimmed();
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        const std::optional<int> first = ordinalValue(dash < 0 ? item : item.left(dash).trimmed());
        const std::optional<int> last = dash < 0 ? first : ordinalValue(item.mid(dash + 1).trimmed());
        if (!first || !last || *last < *first)
            return refuse(item);
        selection.m_ranges.append(Range{*first, *last});
    }
    selection.normalise();
    return selection;
}

void DocumentSelection::normalise()
{
    std::sort(m_ranges.begin(), m_ranges.end(),
              [](const Range& a, const Range& b) { return a.first < b.first; });
    QList<Range> merged;
    for (const Range& range : std::as_const(m_ranges)) {
        if (!merged.isEmpty() && qint64(range.first) <= qint64(merged.last().last) + 1)
            merged.last().last = std::max(merged.last().last, range.last);
        else
            merged.append(range);
    }
    m_ranges = merged;
}

bool DocumentSelection::contains(int ordinal) const
{
    const auto after = std::upper_bound(m_ranges.cbegin(), m_ranges.cend(), ordinal,
                                        [](int value, const Range& range) { return value < range.first; });
    return after != m_ranges.cbegin() && ordinal <= std::prev(after)->last;
}

DocumentSelection DocumentSelection::from(int first) const
{
    DocumentSelection selection;
    for (const Range& range : m_ranges) {
        if (range.last >= first)
            selection.m_ranges.append(Range{std::max(range.first, first), range.last});
    }
    return selection;
}

qint64 DocumentSelection::count() const
{
    qint64 total = 0;
    for (const Range& range : m_ranges)
        total += qint64(range.last) - range.first + 1;
    return total;
}

QString DocumentSelection::text() const
{
    QStringList items;
    for (const Range& range : m_ranges) {
        if (range.first == range.last)
            items.append(QString::number(range.first));
        else if (range.last == range.first + 1)
            items << QString::number(range.first) << QString::number(range.last);
        else
            items.append(QStringLiteral("%1-%2").arg(range.first).arg(range.last));
    }
    return items.join(QLatin1Char(','));
}

} // namespace przenosnik
