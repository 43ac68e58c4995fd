// The start-up row: process start to the first frame on an X display (Xvfb), against a
// minimal Qt program that shows one empty window, timed by vog-startup-probe.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

namespace vogbench {

// The probe's figures, or {"skipped": why}.
QJsonObject measureStartup(int runs);
// The row, and the figures with the ratio and the verdict.
QJsonObject startupRow(const QJsonObject &startup, QList<Row> &rows);

} // namespace vogbench
