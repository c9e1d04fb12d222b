#pragma once
#include <QString>
#include <QWidget>

namespace pd::qt {

// The text a widget shows in one piece, as the user reads it: a label's caption, a line
// edit's value, a button's, tickbox's or group's caption. Empty for the widgets whose text
// is not measured: multi-line boxes scroll, a password shows no text.
QString wholeText(const QWidget& w);

// Whether the widget, at its present size and in its own font, shows all of that text.
bool showsWholeText(const QWidget& w);

// The tool tip for a widget: its own tip, followed by its whole text when the widget is
// too small to show all of it (and the tip does not already hold it).
QString tipWithWholeText(const QWidget& w, const QString& ownTip);

}  // namespace pd::qt
