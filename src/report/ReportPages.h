// Pages of a printed report drawn one after another with QPainter: a running
// head with the title and "Strona N z M" on every page, text lines and tables
// whose heading row repeats on each page they run onto. The report is laid out
// twice, first to count the pages, then to draw them; the rows' heights are
// measured once.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace przenosnik {

struct ReportColumn
{
    QString caption;
    double share = 1; // of the table's width, before the captions' words get their room
    bool rightAligned = false;
    bool wraps = false;  // a long text goes on in a second line (at blanks), else it is cut short
    QString widest = {}; // a text that the column shows whole, however narrow its share (an amount)
};

class ReportPages
{
public:
    // The page's running head: the title on the left, further text after it.
    ReportPages(QPagedPaintDevice& device, const QString& title, const QString& runningText);
    ~ReportPages();
    ReportPages(const ReportPages&) = delete;
    ReportPages& operator=(const ReportPages&) = delete;

    // Lays out the report with content(*this) twice, counting and then drawing.
    // Answers false when the device cannot be painted on.
    template <typename Content> bool paint(Content content)
    {
        startPass(false);
        content(*this);
        if (!startPass(true))
            return false;
        content(*this);
        return finish();
    }

    int pageCount() const { return m_pageCount; }

    enum class Style
    {
        Normal,
        Bold,
        Title,
        Heading,
    };
    // A paragraph, broken at blanks when longer than the page is wide.
    void text(const QString& text, Style style = Style::Normal, const QColor& color = Qt::black);
    void space(double millimetres);
    // A heading that stays on the page of what follows it (room for `keep` millimetres more).
    void heading(const QString& text, double keep);

    // A table: its columns, then rows; the heading row repeats on every page.
    // widthShare is the table's width as a share of the page's.
    void startTable(const QList<ReportColumn>& columns, double widthShare = 1);
    void row(const QStringList& cells, const QColor& background = {}, bool bold = false);
    // A row whose one text spans the whole table.
    void spanningRow(const QString& text, const QColor& background = {});
    void endTable();

private:
    bool startPass(bool drawing);
    bool finish();
    double mm(double millimetres) const;
    const QFont& font(Style style) const;
    const QFontMetricsF& metrics(Style style) const;
    void newPage();
    void drawRunningHead();
    void ensureRoom(double height);
    double measuredHeight(double height);
    void tableHeading();
    void closeTableFrame();
    // The glyphs of a text in the plain or bold font, into m_glyphs and
    // m_advances, and its width; false when the font lacks one of them.
    bool glyphsOf(const QString& text, Style style, double& width);
    double textWidth(const QString& text, Style style);
    double cellHeight(const QString& text, double width, bool wraps, Style style);
    void drawCell(const QString& text, double left, double width, const ReportColumn& column, Style style);

    QPagedPaintDevice& m_device;
    QPainter* m_painter = nullptr;
    QString m_title;
    QString m_runningText;
    QFont m_fonts[4];
    QList<QFontMetricsF> m_metrics;
    // A row's cells go to the page as one run of glyphs, placed here without
    // shaping: far less work for long tables than a text item per cell.
    QRawFont m_rawFonts[2]; // plain and bold, at the device's resolution
    QList<quint32> m_glyphs;
    QList<QPointF> m_advances;
    QList<quint32> m_runGlyphs;
    QList<QPointF> m_runPositions;
    double m_lineHeight = 0;
    double m_padding = 0;
    double m_left = 0, m_top = 0, m_width = 0, m_bottom = 0;
    double m_y = 0;
    int m_page = 0;
    int m_pageCount = 0;
    bool m_drawing = false;
    // Heights of the table rows measured while counting, used again while drawing.
    std::vector<float> m_heights;
    size_t m_nextHeight = 0;
    // The table being laid out.
    QList<ReportColumn> m_columns;
    QList<double> m_widths;
    double m_headingHeight = 0;
    double m_tableWidth = 0;
    double m_tableTop = -1; // where the table's frame starts on this page; -1 outside a table
};

} // namespace przenosnik
