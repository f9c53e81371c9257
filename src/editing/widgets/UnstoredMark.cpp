#include "editing/widgets/UnstoredMark.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

const QColor UnstoredColor(255, 230, 150);
const QString UnstoredTip = QStringLiteral("入力した内容はまだ保存されていません。Enter キーで保存します。");

} // namespace

UnstoredMark::UnstoredMark(QComboBox* box, std::function<std::optional<QString>()> stored)
    : QObject(box), m_edit(box->lineEdit()), m_stored(std::move(stored))
{
    connect(m_edit, &QLineEdit::textChanged, this, &UnstoredMark::refresh);
}

void UnstoredMark::refresh()
{
    const std::optional<QString> stored = m_stored();
    setMarked(stored && *stored != m_edit->text());
}

void UnstoredMark::setMarked(bool marked)
{
    if (marked == m_marked)
        return;
    m_marked = marked;
    if (marked) {
        QPalette palette = m_edit->palette();
        palette.setColor(QPalette::Base, UnstoredColor);
        m_edit->setPalette(palette);
    } else {
        m_edit->setPalette(QPalette());
    }
    m_edit->setToolTip(marked ? UnstoredTip : QString());
}
