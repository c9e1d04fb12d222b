#include "ui/qt/TextFit.hpp"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <climits>

namespace pd::qt {

namespace {
// A caption as drawn: "&&" shows one '&', a single '&' marks a shortcut and is not shown.
QString withoutMnemonics(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// Width and height that the text needs on one line per line break.
QSize unwrappedSize(const QFontMetrics& fm, const QString& text) {
    return fm.boundingRect(QRect(0, 0, INT_MAX / 2, INT_MAX / 2), Qt::AlignLeft | Qt::AlignTop, text).size();
}

bool labelFits(const QLabel& label) {
    const QFontMetrics fm(label.font());
    const int m = label.margin();
    const QRect r = label.contentsRect().adjusted(m, m, -m, -m);
    const QString text = label.text();
    if (label.wordWrap()) {
        const QRect needed = fm.boundingRect(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        return needed.width() <= r.width() && needed.height() <= r.height();
    }
    const QSize needed = unwrappedSize(fm, text);
    return needed.width() <= r.width() && needed.height() <= r.height();
}

bool lineEditFits(const QLineEdit& edit) {
    QStyleOptionFrame opt;
    opt.initFrom(&edit);
    opt.rect = edit.rect();
    opt.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    QRect r = edit.style()->subElementRect(QStyle::SE_LineEditContents, &opt, &edit);
    r = r.marginsRemoved(edit.textMargins());
    constexpr int horizontalMargin = 2;  // QLineEdit's own, on each side of the text
    return QFontMetrics(edit.font()).horizontalAdvance(edit.text()) <= r.width() - 2 * horizontalMargin;
}

bool buttonFits(const QPushButton& button) {
    QStyleOptionButton opt;
    opt.initFrom(&button);
    opt.rect = button.rect();
    opt.text = button.text();
    if (button.isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
    const QRect r = button.style()->subElementRect(QStyle::SE_PushButtonContents, &opt, &button);
    return QFontMetrics(button.font()).horizontalAdvance(withoutMnemonics(button.text())) <= r.width();
}

bool tickBoxFits(const QCheckBox& tick) {
    QStyleOptionButton opt;
    opt.initFrom(&tick);
    opt.rect = tick.rect();
    opt.text = tick.text();
    const QRect r = tick.style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, &tick);
    return QFontMetrics(tick.font()).horizontalAdvance(withoutMnemonics(tick.text())) <= r.width();
}

bool groupTitleFits(const QGroupBox& box) {
    QStyleOptionGroupBox opt;
    opt.initFrom(&box);
    opt.rect = box.rect();
    opt.text = box.title();
    opt.textAlignment = box.alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    opt.lineWidth = 1;
    const QRect r = box.style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &box);
    const int needed = QFontMetrics(box.font()).horizontalAdvance(withoutMnemonics(box.title()));
    return r.width() >= needed && box.rect().contains(r);
}
}  // namespace

QString wholeText(const QWidget& w) {
    if (auto* label = qobject_cast<const QLabel*>(&w)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(&w))
        return edit->echoMode() == QLineEdit::Normal ? edit->text() : QString();
    if (auto* button = qobject_cast<const QPushButton*>(&w)) return withoutMnemonics(button->text());
    if (auto* tick = qobject_cast<const QCheckBox*>(&w)) return withoutMnemonics(tick->text());
    if (auto* box = qobject_cast<const QGroupBox*>(&w)) return withoutMnemonics(box->title());
    return {};
}

bool showsWholeText(const QWidget& w) {
    if (wholeText(w).isEmpty()) return true;
    if (auto* label = qobject_cast<const QLabel*>(&w)) return labelFits(*label);
    if (auto* edit = qobject_cast<const QLineEdit*>(&w)) return lineEditFits(*edit);
    if (auto* button = qobject_cast<const QPushButton*>(&w)) return buttonFits(*button);
    if (auto* tick = qobject_cast<const QCheckBox*>(&w)) return tickBoxFits(*tick);
    if (auto* box = qobject_cast<const QGroupBox*>(&w)) return groupTitleFits(*box);
    return true;
}

QString tipWithWholeText(const QWidget& w, const QString& ownTip) {
    if (showsWholeText(w)) return ownTip;
    const QString text = wholeText(w);
    if (ownTip.contains(text)) return ownTip;
    return ownTip.isEmpty() ? text : ownTip + QLatin1Char('\n') + text;
}

}  // namespace pd::qt
