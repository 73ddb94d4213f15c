// A line edit whose character limit binds typing only: a longer text set by
// the program (a value restored from the settings file) is shown whole, and
// the user may shorten it but not lengthen it.
#pragma once

#include <QLineEdit>

namespace przenosnik {

class LimitedLineEdit : public QLineEdit
{
    Q_OBJECT
    // Writing the text property goes through setStoredText.
    Q_PROPERTY(QString text READ text WRITE setStoredText USER true)
public:
    LimitedLineEdit(int limit, QWidget* parent = nullptr);

    int limit() const { return m_limit; }
    // Sets a text of any length, as a value read from a file.
    void setStoredText(const QString& text);

private:
    friend class LimitValidator;
    int m_limit;
    qsizetype m_lengthBefore = 0;
    bool m_storing = false;
};

} // namespace przenosnik
