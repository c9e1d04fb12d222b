#pragma once
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/Element.hpp"
#include "core/Layout.hpp"

namespace pd::qt {

// One element on screen: creates the widget of its kind, keeps it in step with the
// element through the element's observer, and turns the user's actions on the widget
// into the element's user actions (type, click, double-click).
class ElementView final : public QObject {
  public:
    // afterUserAction runs after every user action has been handed to the element.
    ElementView(Element& element, const LayoutNode& hints, QWidget* parent, std::string lineEnd,
                std::function<void()> afterUserAction);
    ~ElementView() override;
    ElementView(const ElementView&) = delete;
    ElementView& operator=(const ElementView&) = delete;

    QWidget* widget() const { return widget_; }
    Element* element() const { return element_; }
    // Stops following the element; its window is going away.
    void detach();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* createWidget();
    void size(const LayoutNode& hints);
    // Applies what changed (a set of Element::Change bits) to the widget.
    void sync(unsigned what);
    void syncText(unsigned what);
    void syncToolTip();
    void syncColours();
    void typed(const QString& text);
    void userActed();

    Element* element_;
    std::string lineEnd_;
    std::function<void()> afterUserAction_;
    QPointer<QWidget> widget_;
    int observer_ = 0;
    bool syncing_ = false;
    bool light_ = false;
};

// The colour an element's text is shown in on that background (colour::shownText).
QColor shownText(const QColor& fore, const QColor& back, bool enabled);

}  // namespace pd::qt
