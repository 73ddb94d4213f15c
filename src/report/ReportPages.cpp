#include "report/ReportPages.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace przenosnik {

namespace {
constexpr double NormalPoints = 7.5;
constexpr double HeadingPoints = 10;
constexpr double TitlePoints = 14;
const QColor HeadingBackground(0xe6, 0xe6, 0xe6);
const QColor RuleColor(0x80, 0x80, 0x80);

QFont reportFont(double points, bool bold)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: the PDF's text reads, and is searched, as typed.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The widest word of a caption: a column is never narrower, so that a heading breaks at blanks only.
double widestWord(const QString& caption, const QFontMetricsF& metrics)
{
    double widest = 0;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}
} // namespace

ReportPages::ReportPages(QPagedPaintDevice& device, const QString& title, const QString& runningText)
    : m_device(device), m_title(title),
      m_runningText(runningText), m_fonts{reportFont(NormalPoints, false), reportFont(NormalPoints, true),
                                          reportFont(TitlePoints, true), reportFont(HeadingPoints, true)}
{
    const QRect page = m_device.pageLayout().paintRectPixels(m_device.logicalDpiX());
    m_width = page.width();
    m_bottom = page.height();
    for (const QFont& each : m_fonts)
        m_metrics.append(QFontMetricsF(each, &m_device));
    m_lineHeight = m_metrics.at(0).height();
    for (int plain = 0; plain < 2; ++plain)
        m_rawFonts[plain] = QRawFont::fromFont(QFont(m_fonts[plain], &m_device));
    m_padding = mm(0.6);
}

ReportPages::~ReportPages()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    delete m_painter;
}

double ReportPages::mm(double millimetres) const
{
    return millimetres * m_device.logicalDpiX() / 25.4;
}

const QFont& ReportPages::font(Style style) const
{
    return m_fonts[int(style)];
}

const QFontMetricsF& ReportPages::metrics(Style style) const
{
    return m_metrics.at(int(style));
}

bool ReportPages::startPass(bool drawing)
{
    if (drawing) {
        m_pageCount = m_page;
        m_painter = new QPainter;
        if (!m_painter->begin(&m_device))
            return false;
    }
    m_drawing = drawing;
    m_page = 0;
    m_nextHeight = 0;
    m_tableTop = -1;
    newPage();
    return true;
}

bool ReportPages::finish()
{
    return m_painter->end();
}

void ReportPages::newPage()
{
    if (m_page > 0 && m_drawing)
        m_device.newPage();
    ++m_page;
    drawRunningHead();
}

void ReportPages::drawRunningHead()
{
    const QFontMetricsF& bold = metrics(Style::Bold);
    const double baseline = bold.ascent();
    m_y = bold.height() + mm(1.5);
    if (!m_drawing)
        return;
    const QString pages = QStringLiteral("Strona %1 z %2").arg(m_page).arg(m_pageCount);
    m_painter->setPen(Qt::black);
    m_painter->setFont(font(Style::Bold));
    m_painter->drawText(QPointF(m_left, baseline), m_title);
    const double titleWidth = bold.horizontalAdvance(m_title);
    const double pagesWidth = bold.horizontalAdvance(pages);
    m_painter->drawText(QPointF(m_width - pagesWidth, baseline), pages);
    m_painter->setFont(font(Style::Normal));
    const QFontMetricsF& normal = metrics(Style::Normal);
    const double room = m_width - titleWidth - pagesWidth - mm(8);
    m_painter->drawText(QPointF(titleWidth + mm(4), baseline),
                        normal.elidedText(m_runningText, Qt::ElideMiddle, std::max(0.0, room)));
    m_painter->setPen(QPen(RuleColor, 0));
    m_painter->drawLine(QPointF(0, m_y - mm(0.8)), QPointF(m_width, m_y - mm(0.8)));
}

void ReportPages::ensureRoom(double height)
{
    const double pageTop = metrics(Style::Bold).height() + mm(1.5);
    if (m_y + height <= m_bottom || m_y <= pageTop + m_headingHeight + 1)
        return;
    const bool inTable = m_tableTop >= 0;
    if (inTable)
        closeTableFrame();
    newPage();
    if (inTable)
        tableHeading();
}

void ReportPages::text(const QString& text, Style style, const QColor& color)
{
    const QFontMetricsF& fm = metrics(style);
    const QRectF bounds = fm.boundingRect(QRectF(0, 0, m_width, 1e6), Qt::TextWordWrap, text);
    const double height = std::max(bounds.height(), fm.height()) + mm(0.4);
    ensureRoom(height);
    if (m_drawing) {
        m_painter->setPen(color);
        m_painter->setFont(font(style));
        m_painter->drawText(QRectF(0, m_y, m_width, height), Qt::TextWordWrap, text);
    }
    m_y += height;
}

void ReportPages::space(double millimetres)
{
    m_y += mm(millimetres);
}

void ReportPages::heading(const QString& text, double keep)
{
    const QFontMetricsF& fm = metrics(Style::Heading);
    const double height = fm.height() * 1.4;
    ensureRoom(height + mm(keep));
    if (m_drawing) {
        m_painter->setPen(Qt::black);
        m_painter->setFont(font(Style::Heading));
        m_painter->drawText(QPointF(0, m_y + fm.height() * 0.4 + fm.ascent()), text);
    }
    m_y += height;
}

void ReportPages::startTable(const QList<ReportColumn>& columns, double widthShare)
{
    const double tableWidth = m_width * widthShare;
    m_columns = columns;
    const QFontMetricsF& bold = metrics(Style::Bold);
    double shares = 0;
    for (const ReportColumn& column : columns)
        shares += column.share;
    QList<double> least;
    double total = 0;
    m_widths.clear();
    for (const ReportColumn& column : columns) {
        least.append(std::max(widestWord(column.caption, bold), bold.horizontalAdvance(column.widest)) +
                     2 * m_padding + 1);
        m_widths.append(std::max(least.constLast(), column.share / shares * tableWidth));
        total += m_widths.constLast();
    }
    // What the captions took beyond their shares comes off the columns that wrap,
    // then off every column wider than its caption needs.
    for (bool wrapsOnly : {true, false}) {
        double spare = 0;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (!wrapsOnly || columns.at(i).wraps)
                spare += m_widths.at(i) - least.at(i);
        }
        if (total <= tableWidth || spare <= 0)
            continue;
        const double cut = std::min(1.0, (total - tableWidth) / spare);
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (wrapsOnly && !columns.at(i).wraps)
                continue;
            const double give = (m_widths.at(i) - least.at(i)) * cut;
            m_widths[i] -= give;
            total -= give;
        }
    }
    m_tableWidth = total;
    m_headingHeight = 0;
    for (qsizetype i = 0; i < columns.size(); ++i)
        m_headingHeight =
            std::max(m_headingHeight, cellHeight(columns.at(i).caption, m_widths.at(i), true, Style::Bold));
    ensureRoom(m_headingHeight + m_lineHeight + 2 * m_padding);
    tableHeading();
}

void ReportPages::tableHeading()
{
    m_tableTop = m_y;
    if (m_drawing) {
        m_painter->fillRect(QRectF(0, m_y, m_tableWidth, m_headingHeight), HeadingBackground);
        m_painter->setPen(Qt::black);
        m_painter->setFont(font(Style::Bold));
        double left = 0;
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const QRectF cell(left + m_padding, m_y + m_padding, m_widths.at(i) - 2 * m_padding,
                              m_headingHeight - 2 * m_padding);
            m_painter->drawText(cell, Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignVCenter,
                                m_columns.at(i).caption);
            left += m_widths.at(i);
        }
        m_painter->setPen(QPen(RuleColor, 0));
        m_painter->drawLine(QPointF(0, m_y), QPointF(m_tableWidth, m_y));
        m_painter->drawLine(QPointF(0, m_y + m_headingHeight), QPointF(m_tableWidth, m_y + m_headingHeight));
    }
    m_y += m_headingHeight;
}

bool ReportPages::glyphsOf(const QString& text, Style style, double& width)
{
    const QRawFont& raw = m_rawFonts[style == Style::Bold ? 1 : 0];
    width = 0;
    m_glyphs = raw.glyphIndexesForString(text);
    if (!raw.isValid() || m_glyphs.size() != text.size() || m_glyphs.contains(0u))
        return false;
    m_advances = raw.advancesForGlyphIndexes(m_glyphs);
    for (const QPointF& advance : std::as_const(m_advances))
        width += advance.x();
    return true;
}

double ReportPages::textWidth(const QString& text, Style style)
{
    double width = 0;
    return glyphsOf(text, style, width) ? width : metrics(style).horizontalAdvance(text);
}

double ReportPages::cellHeight(const QString& text, double width, bool wraps, Style style)
{
    const QFontMetricsF& fm = metrics(style);
    const double room = width - 2 * m_padding;
    if (!wraps || text.isEmpty() || textWidth(text, style) <= room)
        return fm.height() + 2 * m_padding;
    const QRectF bounds = fm.boundingRect(QRectF(0, 0, room, 1e6), Qt::TextWordWrap, text);
    return std::max(bounds.height(), fm.height()) + 2 * m_padding;
}

double ReportPages::measuredHeight(double height)
{
    if (!m_drawing) {
        m_heights.push_back(float(height));
        return height;
    }
    return m_heights.at(m_nextHeight++);
}

void ReportPages::row(const QStringList& cells, const QColor& background, bool bold)
{
    const Style style = bold ? Style::Bold : Style::Normal;
    double height = 0;
    if (!m_drawing) {
        for (qsizetype i = 0; i < m_columns.size() && i < cells.size(); ++i)
            height = std::max(height, cellHeight(cells.at(i), m_widths.at(i), m_columns.at(i).wraps, style));
    }
    height = measuredHeight(height);
    ensureRoom(height);
    if (m_drawing) {
        if (background.isValid())
            m_painter->fillRect(QRectF(0, m_y, m_tableWidth, height), background);
        m_painter->setPen(Qt::black);
        m_painter->setFont(font(style));
        m_runGlyphs.clear();
        m_runPositions.clear();
        double left = 0;
        for (qsizetype i = 0; i < m_columns.size() && i < cells.size(); ++i) {
            drawCell(cells.at(i), left, m_widths.at(i), m_columns.at(i), style);
            left += m_widths.at(i);
        }
        if (!m_runGlyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(m_rawFonts[bold ? 1 : 0]);
            run.setGlyphIndexes(m_runGlyphs);
            run.setPositions(m_runPositions);
            m_painter->drawGlyphRun(QPointF(), run);
        }
        m_painter->setPen(QPen(RuleColor, 0));
        m_painter->drawLine(QPointF(0, m_y + height), QPointF(m_tableWidth, m_y + height));
    }
    m_y += height;
}

void ReportPages::drawCell(const QString& text, double left, double width, const ReportColumn& column,
                           Style style)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF& fm = metrics(style);
    const double room = width - 2 * m_padding;
    double advance = 0;
    const bool plain = glyphsOf(text, style, advance);
    if (!plain)
        advance = fm.horizontalAdvance(text);
    if (advance > room && column.wraps) {
        m_painter->drawText(QRectF(left + m_padding, m_y + m_padding, room, 1e6), Qt::TextWordWrap, text);
        return;
    }
    const double baseline = m_y + m_padding + fm.ascent();
    if (advance > room) {
        m_painter->drawText(QPointF(left + m_padding, baseline), fm.elidedText(text, Qt::ElideRight, room));
        return;
    }
    double x = column.rightAligned ? left + width - m_padding - advance : left + m_padding;
    if (!plain) {
        m_painter->drawText(QPointF(x, baseline), text);
        return;
    }
    for (const QPointF& step : std::as_const(m_advances)) {
        m_runPositions.append(QPointF(x, baseline));
        x += step.x();
    }
    m_runGlyphs += m_glyphs;
}

void ReportPages::spanningRow(const QString& text, const QColor& background)
{
    const double height = measuredHeight(m_drawing ? 0 : cellHeight(text, m_tableWidth, true, Style::Bold));
    ensureRoom(height);
    if (m_drawing) {
        if (background.isValid())
            m_painter->fillRect(QRectF(0, m_y, m_tableWidth, height), background);
        m_painter->setPen(Qt::black);
        m_painter->setFont(font(Style::Bold));
        m_painter->drawText(QRectF(m_padding, m_y + m_padding, m_tableWidth - 2 * m_padding, height),
                            Qt::TextWordWrap, text);
        m_painter->setPen(QPen(RuleColor, 0));
        m_painter->drawLine(QPointF(0, m_y + height), QPointF(m_tableWidth, m_y + height));
    }
    // The column rules stop above a spanning row and start again below it.
    closeTableFrame();
    m_y += height;
    m_tableTop = m_y;
}

void ReportPages::closeTableFrame()
{
    if (m_drawing && m_tableTop >= 0 && m_y > m_tableTop) {
        m_painter->setPen(QPen(RuleColor, 0));
        double left = 0;
        m_painter->drawLine(QPointF(0, m_tableTop), QPointF(0, m_y));
        for (double width : std::as_const(m_widths)) {
            left += width;
            m_painter->drawLine(QPointF(left, m_tableTop), QPointF(left, m_y));
        }
    }
}

void ReportPages::endTable()
{
    closeTableFrame();
    m_tableTop = -1;
    m_headingHeight = 0;
    m_y += mm(2);
}

} // namespace przenosnik
