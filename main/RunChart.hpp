#pragma once

namespace pd {

class MainWindow;

// At the end of a run, after the end report: draws the run's sync history as the chart
// beside the report, and fits the report e-mail's attachments to it. Neither ever stops
// the run: a chart that cannot be drawn is said in the status and the e-mail goes without
// it, since the mailer sends nothing when one of its attachments is missing.
void writeRunChart(MainWindow& w);

}  // namespace pd
