#include "ui/LimitedLineEdit.h"

#include <QValidator>

namespace przenosnik {

// Cuts what an edit inserts beyond the limit, as far as the text was not
// already longer; an edit that shortens an overlong text is accepted.
class LimitValidator : public QValidator
{
public:
    explicit LimitValidator(LimitedLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& pos) const override
    {
        if (m_edit->m_storing) {
            return Acceptable;
        }
        const qsizetype allowed = qMax(qsizetype(m_edit->m_limit), m_edit->m_lengthBefore);
        const qsizetype excess = input.size() - allowed;
        if (excess <= 0) {
            return Acceptable;
        }
        // The inserted characters end at the cursor: drop the last of them.
        if (pos < excess) {
            return Invalid;
        }
        input.remove(pos - excess, excess);
        pos -= int(excess);
        return Acceptable;
    }

private:
    LimitedLineEdit* m_edit;
};

LimitedLineEdit::LimitedLineEdit(int limit, QWidget* parent) : QLineEdit(parent), m_limit(limit)
{
    setValidator(new LimitValidator(this));
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_lengthBefore = text.size(); });
}

void LimitedLineEdit::setStoredText(const QString& text)
{
    m_storing = true;
    setText(text);
    m_storing = false;
}

} // namespace przenosnik
