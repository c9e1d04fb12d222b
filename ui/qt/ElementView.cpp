#include "ui/qt/ElementView.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "ui/qt/Colours.hpp"
#include "ui/qt/TextFit.hpp"

namespace pd::qt {

namespace {
QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}

// What a multi-line field shows: Qt keeps a line break as one '\n'.
QString shownText(const std::string& text) {
    auto q = toQ(text);
    q.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return q;
}

// A multi-line box whose natural size is the size its layout declares, so that boxes
// sharing spare room grow alike from there.
class DeclaredSizeTextEdit final : public QPlainTextEdit {
  public:
    QSize declared;
    QSize sizeHint() const override { return declared.isValid() ? declared : QPlainTextEdit::sizeHint(); }
};

}  // namespace

QColor shownText(const QColor& fore, const QColor& back, bool enabled) {
    return QColor::fromRgb(
        static_cast<QRgb>(colour::toRgb(colour::shownText(fromQColor(fore), fromQColor(back), enabled))));
}

ElementView::ElementView(Element& element, const LayoutNode& hints, QWidget* parent, std::string lineEnd,
                         std::function<void()> afterUserAction)
    : element_(&element),
      lineEnd_(std::move(lineEnd)),
      afterUserAction_(std::move(afterUserAction)),
      light_(hints.light) {
    widget_ = createWidget();
    widget_->setParent(parent);
    widget_->setObjectName(toQ(element.name()));
    widget_->installEventFilter(this);  // resizing may cut or uncut its text
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data()); edit && hints.keepLines)
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (hints.fixedPitch) {
        // The window's size of letter, each as wide as the next: a table's columns line up.
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(widget_->font().pointSizeF());
        widget_->setFont(fixed);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget_.data()); button && hints.defaultButton)
        button->setDefault(true);
    sync(Element::Everything);  // the caption first: a button's width follows it
    size(hints);
    // Only what changed is applied: a light that turns green needs no new text or tip.
    observer_ = element.observe([this](const Element& e) { sync(e.changed()); });
}

ElementView::~ElementView() {
    detach();
}

void ElementView::detach() {
    if (!element_) return;
    element_->unobserve(observer_);
    element_ = nullptr;
}

QWidget* ElementView::createWidget() {
    switch (element_->kind()) {
        case ElementKind::TextBox: {
            auto& box = static_cast<TextBox&>(*element_);
            if (box.multiLine()) {
                auto* edit = new DeclaredSizeTextEdit;
                edit->viewport()->installEventFilter(this);
                connect(edit, &QPlainTextEdit::textChanged, this, [this, edit] {
                    // Programmatic changes also signal here; only the user's typing counts.
                    if (!syncing_) typed(edit->toPlainText());
                });
                return edit;
            }
            auto* edit = new QLineEdit;
            connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { typed(text); });
            return edit;
        }
        case ElementKind::TickBox: {
            auto* tick = new QCheckBox;
            // clicked() comes from the user only, never from setChecked().
            connect(tick, &QCheckBox::clicked, this, [this] {
                if (!element_) return;
                static_cast<TickBox&>(*element_).click();
                sync(Element::Value);  // a refused click must not leave the box toggled
                userActed();
            });
            return tick;
        }
        case ElementKind::Button: {
            auto* button = new QPushButton;
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this] {
                if (!element_) return;
                static_cast<Button&>(*element_).click();
                userActed();
            });
            return button;
        }
        case ElementKind::Label: {
            auto* label = new QLabel;
            label->setTextFormat(Qt::PlainText);  // the element's text, never markup
            label->setAutoFillBackground(true);
            // A long notice wraps rather than widening its window beyond its default size.
            if (element_->text().size() > 48) label->setWordWrap(true);
            return label;
        }
    }
    return new QWidget;
}

void ElementView::size(const LayoutNode& hints) {
    QFontMetrics fm(widget_->font());
    const int charWidth = fm.horizontalAdvance(QLatin1Char('0'));
    const int line = fm.height();
    if (light_) {
        // Lamps are small squares in a row of lamps; a letter in one is centred.
        widget_->setFixedSize(charWidth * std::max(hints.widthChars, 1) + 4, line);
        widget_->setFocusPolicy(Qt::NoFocus);  // nothing to type or select in a lamp
        if (auto* label = qobject_cast<QLabel*>(widget_.data())) label->setAlignment(Qt::AlignCenter);
        if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) edit->setAlignment(Qt::AlignCenter);
        return;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
        edit->setMinimumWidth(charWidth * std::max(hints.widthChars, 8) + 12);
        edit->setMinimumHeight(line * std::max(hints.heightLines, 2) + 10);
        if (auto* declared = dynamic_cast<DeclaredSizeTextEdit*>(edit))
            declared->declared = edit->minimumSize();
        edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) {
        edit->setFixedHeight(line + 5);
        if (hints.widthChars > 0)
            edit->setFixedWidth(charWidth * hints.widthChars + 8);
        else
            edit->setMinimumWidth(charWidth * 4 + 8);
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(widget_.data())) {
        // As wide as the caption needs, not the style's generous minimum.
        button->setFixedHeight(line + 6);
        button->setMinimumWidth(
            std::max(fm.horizontalAdvance(button->text()) + 2 * charWidth, charWidth * hints.widthChars + 8));
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        return;
    }
    if (auto* tick = qobject_cast<QCheckBox*>(widget_.data())) tick->setFixedHeight(line + 4);
    if (hints.widthChars > 0) widget_->setMinimumWidth(charWidth * hints.widthChars + 8);
}

bool ElementView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        syncToolTip();
    if (event->type() == QEvent::MouseButtonDblClick && element_) {
        element_->doubleClick();
        userActed();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ElementView::typed(const QString& text) {
    if (!element_) return;
    auto typedText = text.toStdString();
    if (static_cast<TextBox&>(*element_).multiLine() && lineEnd_ != "\n") {
        std::string withEnds;
        for (char c : typedText) withEnds += c == '\n' ? lineEnd_ : std::string(1, c);
        typedText = std::move(withEnds);
    }
    static_cast<TextBox&>(*element_).type(typedText);
    userActed();
}

void ElementView::userActed() {
    if (afterUserAction_) afterUserAction_();
}

void ElementView::sync(unsigned what) {
    if (!element_ || !widget_) return;
    syncing_ = true;
    if (what & (Element::Text | Element::Locked | Element::Password | Element::Value)) syncText(what);
    if (what & Element::Enabled) widget_->setEnabled(element_->enabled());
    // A field too small for its text shows it whole in its tip: new text may need a new tip.
    if (what & (Element::ToolTip | Element::Text)) syncToolTip();
    // A hidden element stays hidden; a visible one shows with its window.
    if (what & Element::Visible) widget_->setVisible(element_->visible());
    if (what & Element::Colours) syncColours();
    syncing_ = false;
}

void ElementView::syncToolTip() {
    if (!element_ || !widget_) return;
    // A lamp's colour is its message; a field too small for its text shows it in the tip.
    const QString own = toQ(element_->toolTip());
    widget_->setToolTip(light_ ? own : tipWithWholeText(*widget_, own));
}

void ElementView::syncText(unsigned what) {
    const bool text = what & Element::Text;
    switch (element_->kind()) {
        case ElementKind::TextBox: {
            auto& box = static_cast<TextBox&>(*element_);
            if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
                if (text) {
                    auto shown = shownText(box.text());
                    if (edit->toPlainText() != shown) edit->setPlainText(shown);
                }
                if (what & Element::Locked) edit->setReadOnly(box.locked());
            } else if (auto* line = qobject_cast<QLineEdit*>(widget_.data())) {
                // Replacing equal text would move the user's cursor while typing.
                if (const auto shown = toQ(box.text()); text && line->text() != shown) {
                    line->setText(shown);
                    if (!line->hasFocus()) line->setCursorPosition(0);  // show the start of a long text
                }
                if (what & Element::Locked) line->setReadOnly(box.locked());
                if (what & Element::Password)
                    line->setEchoMode(box.password() ? QLineEdit::Password : QLineEdit::Normal);
            }
            break;
        }
        case ElementKind::TickBox: {
            auto* tick = static_cast<QCheckBox*>(widget_.data());
            if (text) tick->setText(toQ(element_->text()));
            if (what & Element::Value) tick->setChecked(static_cast<TickBox&>(*element_).ticked());
            break;
        }
        case ElementKind::Button:
            if (text) static_cast<QPushButton*>(widget_.data())->setText(toQ(element_->text()));
            break;
        case ElementKind::Label:
            if (text) static_cast<QLabel*>(widget_.data())->setText(toQ(element_->text()));
            break;
    }
}

void ElementView::syncColours() {
    const QPalette system = QApplication::palette(widget_);
    QPalette::ColorRole backRole = QPalette::Window;
    QPalette::ColorRole foreRole = QPalette::WindowText;
    switch (element_->kind()) {
        case ElementKind::TextBox:
            backRole = QPalette::Base;
            foreRole = QPalette::Text;
            break;
        case ElementKind::Button:
            backRole = QPalette::Button;
            foreRole = QPalette::ButtonText;
            break;
        case ElementKind::TickBox:
        case ElementKind::Label:
            break;
    }
    QColor back = toQColor(element_->back(), system);
    // Labels and tickboxes on the window's own background blend into it.
    if (backRole == QPalette::Window && element_->back() == colour::windowBackground)
        back = system.color(QPalette::Active, QPalette::Window);
    const QColor fore = toQColor(element_->fore(), system);

    QPalette p = system;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, backRole, back);
    for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, foreRole, fore);
    // Disabled text is faded, so a disabled field reads as such, but stays legible on
    // whatever colour the field has.
    p.setColor(QPalette::Disabled, foreRole, shownText(fore, back, false));
    if (p != widget_->palette()) widget_->setPalette(p);
    if (element_->kind() == ElementKind::TickBox)
        widget_->setAutoFillBackground(!colour::isSystem(element_->back()));
}

}  // namespace pd::qt
