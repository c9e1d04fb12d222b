#include "ui/qt/WindowView.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <cmath>

#include "core/App.hpp"

namespace pd::qt {

namespace {
using Kind = LayoutNode::Kind;

bool holdsGroup(const LayoutNode& node) {
    for (auto& child : node.children)
        if (child.kind == Kind::Group || holdsGroup(child)) return true;
    return false;
}

bool grows(const LayoutNode& node) {
    if (node.kind == Kind::Stretch) return true;
    if (node.kind == Kind::Item && node.element->kind() == ElementKind::TextBox &&
        static_cast<const TextBox*>(node.element)->multiLine())
        return true;
    for (auto& child : node.children)
        if (grows(child)) return true;
    return false;
}

int round(double v) {
    return static_cast<int>(std::lround(v));
}
}  // namespace

WindowView::WindowView(Window& window, QWidget* ownerView, std::function<void()> afterUserAction)
    : QWidget(ownerView, Qt::Window), window_(&window), afterUserAction_(std::move(afterUserAction)) {
    setObjectName(QString::fromStdString(window.className()));
    if (ownerView && window.modal()) setWindowModality(Qt::WindowModal);
    // The windows are dense control panels sized in twips for an 8-point face.
    QFont compact = font();
    if (compact.pointSizeF() > 8) compact.setPointSizeF(8);
    setFont(compact);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 3, 6, 3);
    root->setSpacing(3);
    add(*root, window.layout());

    window.onWindowChanged = [this] { followWindow(); };
    followWindow();
}

WindowView::~WindowView() {
    detach();
}

void WindowView::detach() {
    if (!window_) return;
    for (auto& e : elements_) e->detach();
    window_->onWindowChanged = nullptr;
    window_ = nullptr;
}

double WindowView::twipsPerPixel() const {
    const QScreen* s = screen();
    double dpi = s ? s->logicalDotsPerInch() : 0;
    if (!(dpi > 0)) dpi = 96;
    return 1440.0 / dpi;
}

void WindowView::followWindow() {
    if (!window_) return;
    setWindowTitle(QString::fromStdString(window_->caption()));
    const auto& g = window_->geometry();
    const double tpp = twipsPerPixel();
    placedAt_ = QPoint(round(g.left / tpp), round(g.top / tpp));
    move(placedAt_);
    if (g.width > 0 && g.height > 0) resize(round(g.width / tpp), round(g.height / tpp));
}

void WindowView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Only the user's moves count: placing the window where the settings say must not
    // turn the stored twips into rounded pixels.
    if (!window_ || !isVisible() || pos() == placedAt_) return;
    placedAt_ = pos();
    const double tpp = twipsPerPixel();
    window_->moveTo(placedAt_.x() * tpp, placedAt_.y() * tpp);
}

void WindowView::closeEvent(QCloseEvent* event) {
    if (!window_) {
        event->accept();
        return;
    }
    // The core decides: closing runs unload, and the front end then hides this view.
    event->ignore();
    window_->close();
    if (afterUserAction_) afterUserAction_();
}

void WindowView::keepOnTop() {
    if (!onTop_) {
        onTop_ = true;
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (shown) show();  // changing a window's flags hides it
    }
    // A window of our own that this one owns (a modal child) stays where it is.
    for (QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget())
        if (w == this) return;
    raise();
}

void WindowView::add(QBoxLayout& into, const LayoutNode& node) {
    switch (node.kind) {
        case Kind::Row: {
            auto* row = new QHBoxLayout;
            row->setSpacing(4);
            addChildren(*row, node);
            into.addLayout(row);
            break;
        }
        case Kind::Column: {
            auto* column = new QVBoxLayout;
            column->setSpacing(3);
            addChildren(*column, node);
            into.addLayout(column, grows(node) ? 1 : 0);
            break;
        }
        case Kind::Group: {
            auto* box = new QGroupBox(QString::fromStdString(node.caption), this);
            auto* inner = new QVBoxLayout(box);
            inner->setContentsMargins(6, 1, 6, 3);
            inner->setSpacing(3);
            addChildren(*inner, node);
            into.addWidget(box, grows(node) ? 1 : 0);
            break;
        }
        case Kind::Item: {
            auto view = std::make_unique<ElementView>(*node.element, node, this,
                                                      window_->app().profile().lineEnd, afterUserAction_);
            into.addWidget(view->widget(), grows(node) ? 1 : 0);
            elements_.push_back(std::move(view));
            break;
        }
        case Kind::Caption: {
            auto* caption = new QLabel(QString::fromStdString(node.caption), this);
            // A long notice wraps rather than widening its window beyond its default size.
            if (node.caption.size() > 48) caption->setWordWrap(true);
            if (node.widthChars > 0)
                caption->setMinimumWidth(caption->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                         node.widthChars);
            into.addWidget(caption);
            break;
        }
        case Kind::Stretch:
            into.addStretch(1);
            break;
    }
}

void WindowView::addChildren(QBoxLayout& into, const LayoutNode& node) {
    for (auto& child : node.children) add(into, child);
    // Leaves pack towards the start; groups share the space between them.
    if (!holdsGroup(node) && !grows(node)) into.addStretch(1);
}

}  // namespace pd::qt
