#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QWidget;

namespace voltaro {

// Reads the Qt Designer file at `path`; empty, with the reason in `error`, when it cannot.
QByteArray readUiFile(const QString& path, QString* error);

// Builds the widget tree described by `description` (the contents of a Qt Designer file read
// from `path`), with `parent` as the top widget's parent. Our own classes (GraphView,
// LogTextView) are taken from `readyMade` where one of that class is still unused there, and
// made new otherwise; every other class comes from Qt. Returns nothing and says why in
// `error` when the description cannot be built.
QWidget* buildUi(const QByteArray& description, const QString& path, QWidget* parent,
                 const std::vector<QWidget*>& readyMade, QString* error);

// readUiFile and buildUi in one step, with nothing ready-made.
QWidget* loadUiFile(const QString& path, QWidget* parent, QString* error);

} // namespace voltaro
