#pragma once

#include <QStringList>

#include <memory>

class QCoreApplication;

namespace zd {

// The application object a command needs, made before anything else can make a
// plain one (the keyring's look-up makes a QCoreApplication when none is
// there): map draws, which needs the fonts a QGuiApplication brings, on the
// offscreen platform, as the command line has no window. The other commands
// need none of their own: nullptr.
std::unique_ptr<QCoreApplication> applicationForCommand(const QStringList& arguments);

// Whether this process can draw: its application object is a QGuiApplication.
bool canDraw();

}  // namespace zd
