#include "ui/qt/WindowView.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "core/App.hpp"
#include "core/Placement.hpp"
#include "ui/qt/TextFit.hpp"

namespace pd::qt {

namespace {
using Kind = LayoutNode::Kind;

bool holdsGroup(const LayoutNode& node) {
    for (auto& child : node.children)
        if (child.kind == Kind::Group || holdsGroup(child)) return true;
    return false;
}

bool isMultiLineBox(const LayoutNode& node) {
    return node.kind == Kind::Item && node.element->kind() == ElementKind::TextBox &&
           static_cast<const TextBox*>(node.element)->multiLine();
}

// Whether the node takes spare width: a stretch, a multi-line box, or anything holding one.
bool growsWide(const LayoutNode& node) {
    if (node.kind == Kind::Stretch || isMultiLineBox(node)) return true;
    for (auto& child : node.children)
        if (growsWide(child)) return true;
    return false;
}

// Whether the node takes spare height: a multi-line box, or a stretch among the parts of
// a column (a stretch in a row only takes width).
bool growsTall(const LayoutNode& node) {
    if (node.kind == Kind::Stretch || isMultiLineBox(node)) return true;
    const bool across = node.kind == Kind::Row;
    for (auto& child : node.children)
        if ((!across || child.kind != Kind::Stretch) && growsTall(child)) return true;
    return false;
}

bool isVertical(const QBoxLayout& layout) {
    return layout.direction() == QBoxLayout::TopToBottom || layout.direction() == QBoxLayout::BottomToTop;
}

// The share of the spare room along the layout it is in.
int stretchIn(const QBoxLayout& into, const LayoutNode& node) {
    return (isVertical(into) ? growsTall(node) : growsWide(node)) ? 1 : 0;
}

int round(double v) {
    return static_cast<int>(std::lround(v));
}

ScreenRect toScreenRect(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

QPoint topLeftOf(const ScreenRect& r) {
    return {r.left, r.top};
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
    if (g.width > 0 && g.height > 0) resize(round(g.width / tpp), round(g.height / tpp));
    if (!placed_) {
        // Once, when the window opens; later changes of the caption leave it where it is.
        placed_ = true;
        const bool besideItsOwner = !g.placeStored && parentWidget();
        placedAt_ =
            besideItsOwner ? besideOwner() : insideScreen(QPoint(round(g.left / tpp), round(g.top / tpp)));
        move(placedAt_);
        // The place chosen here is the window's own from now on, as a move by the user.
        if (besideItsOwner) window_->moveTo(placedAt_.x() * tpp, placedAt_.y() * tpp);
        return;
    }
    const QPoint at(round(g.left / tpp), round(g.top / tpp));
    if (at != pos()) {
        placedAt_ = at;
        move(placedAt_);
    }
}

QPoint WindowView::insideScreen(QPoint at) const {
    const QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    if (!s) return at;
    const QRect area = s->availableGeometry();
    const QRect frame(at, size());
    if (area.contains(frame)) return at;
    return topLeftOf(movedInside(toScreenRect(frame), toScreenRect(area)));
}

QPoint WindowView::besideOwner() const {
    const QWidget* owner = parentWidget()->window();
    const QScreen* s = owner->screen();
    const QRect area = s ? s->availableGeometry() : QRect(QPoint(0, 0), QSize(1 << 14, 1 << 14));
    const QRect ownerFrame = owner->frameGeometry();
    // Not yet shown, this window has no frame: its owner's is the best guess of it.
    const QMargins frameMargins(
        owner->geometry().left() - ownerFrame.left(), owner->geometry().top() - ownerFrame.top(),
        ownerFrame.right() - owner->geometry().right(), ownerFrame.bottom() - owner->geometry().bottom());
    const QSize frameSize = size().grownBy(frameMargins);
    constexpr int gap = 8;
    return topLeftOf(pd::besideOwner(toScreenRect(ownerFrame), frameSize.width(), frameSize.height(),
                                     toScreenRect(area), gap));
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

void WindowView::keyPressEvent(QKeyEvent* event) {
    // Keys reach here only when the focused field did not use them: a multi-line box
    // keeps its Enter.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Escape && window_ && window_->owner()) {
        // The main window is the program: Escape never ends a run.
        close();
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && defaultButton_ &&
        defaultButton_->isEnabled() && defaultButton_->isVisible()) {
        defaultButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool WindowView::eventFilter(QObject* watched, QEvent* event) {
    // Static captions: one that the window is too small for shows its whole text as a tip.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        if (auto* label = qobject_cast<QLabel*>(watched)) label->setToolTip(tipWithWholeText(*label, {}));
    return QWidget::eventFilter(watched, event);
}

bool WindowView::staysOnTop() const {
    if (onTop_) return true;
    // No moc here: the owner is a WindowView because only WindowViews own windows.
    auto* owner = parentWidget() ? dynamic_cast<const WindowView*>(parentWidget()->window()) : nullptr;
    return owner && owner->staysOnTop();
}

void WindowView::keepOnTop() {
    if (!onTop_) {
        onTop_ = true;
        // Its own windows go into the same band, or they would open behind it.
        std::vector<QWidget*> windows{this};
        for (auto* w : findChildren<QWidget*>())
            if (w->isWindow()) windows.push_back(w);
        for (auto* w : windows) {
            const bool shown = w->isVisible();
            w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            if (shown) w->show();  // changing a window's flags hides it
        }
    }
    // A window of our own that this one owns (a modal child) stays where it is.
    for (QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget())
        if (w == this) return;
    raise();
    raiseOwnedWindows();
}

void WindowView::raiseOwnedWindows() {
    // Owners first, so that the deepest window ends on top.
    for (auto* w : findChildren<QWidget*>())
        if (w->isWindow() && w->isVisible()) w->raise();
}

void WindowView::add(QBoxLayout& into, const LayoutNode& node) {
    switch (node.kind) {
        case Kind::Row: {
            auto* row = new QHBoxLayout;
            row->setSpacing(4);
            addChildren(*row, node);
            into.addLayout(row, stretchIn(into, node));
            break;
        }
        case Kind::Column: {
            auto* column = new QVBoxLayout;
            column->setSpacing(2);
            addChildren(*column, node);
            into.addLayout(column, stretchIn(into, node));
            break;
        }
        case Kind::Grid:
            addGrid(into, node);
            break;
        case Kind::Group: {
            auto* box = new QGroupBox(QString::fromStdString(node.caption), this);
            auto* inner = new QVBoxLayout(box);
            inner->setContentsMargins(6, 1, 6, 3);
            inner->setSpacing(2);
            addChildren(*inner, node);
            into.addWidget(box, stretchIn(into, node));
            break;
        }
        case Kind::Item:
            into.addWidget(item(node), stretchIn(into, node));
            break;
        case Kind::Caption:
            into.addWidget(caption(node));
            break;
        case Kind::Stretch:
            into.addStretch(1);
            break;
    }
}

void WindowView::addChildren(QBoxLayout& into, const LayoutNode& node) {
    for (auto& child : node.children) add(into, child);
    // Leaves pack towards the start; groups share the space between them.
    const bool takesSpareRoom = isVertical(into) ? growsTall(node) : growsWide(node);
    if (!holdsGroup(node) && !takesSpareRoom) into.addStretch(1);
}

void WindowView::addGrid(QBoxLayout& into, const LayoutNode& node) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    int columns = 0;
    bool stretches = false;
    for (int r = 0; r < static_cast<int>(node.children.size()); ++r) {
        const auto& row = node.children[r];
        for (int c = 0; c < static_cast<int>(row.children.size()); ++c) {
            const auto& cell = row.children[c];
            columns = std::max(columns, c + 1);
            switch (cell.kind) {
                case Kind::Item:
                    grid->addWidget(item(cell), r, c);
                    break;
                case Kind::Caption:
                    grid->addWidget(caption(cell), r, c);
                    break;
                case Kind::Stretch:
                    grid->setColumnStretch(c, 1);
                    stretches = true;
                    break;
                default: {
                    auto* box = new QHBoxLayout;
                    box->setContentsMargins(0, 0, 0, 0);
                    add(*box, cell);
                    grid->addLayout(box, r, c);
                    break;
                }
            }
        }
    }
    // The cells keep their natural widths, packed towards the start.
    if (!stretches) grid->setColumnStretch(columns, 1);
    into.addLayout(grid, stretchIn(into, node));
}

QWidget* WindowView::caption(const LayoutNode& node) {
    auto* caption = new QLabel(QString::fromStdString(node.caption), this);
    caption->setTextFormat(Qt::PlainText);
    // A long notice wraps rather than widening its window beyond its default size.
    if (node.caption.size() > 48) caption->setWordWrap(true);
    if (node.widthChars > 0)
        caption->setMinimumWidth(caption->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                 node.widthChars);
    caption->installEventFilter(this);
    return caption;
}

QWidget* WindowView::item(const LayoutNode& node) {
    auto view = std::make_unique<ElementView>(*node.element, node, this, window_->app().profile().lineEnd,
                                              afterUserAction_);
    QWidget* widget = view->widget();
    if (node.defaultButton) defaultButton_ = qobject_cast<QPushButton*>(widget);
    elements_.push_back(std::move(view));
    return widget;
}

}  // namespace pd::qt
