#pragma once

#include <functional>

namespace zd {

// Runs work (a page fetch) on a worker thread while the calling thread, the
// window's, goes on handling its events: the window is redrawn and takes a close
// request, so closing ends the program at once even while a site hangs. The
// user's input (clicks, keys, pointer moves and the like, aimed at a window) is
// held back meanwhile and handed on in its order once the work is done, as a
// window system queues it while a program is busy: no command starts inside the
// work. An exception from the work comes out here.
// The work runs right here, with no event handled, while this is off (the default),
// without an application object or off the application's thread.
void runBesideEventLoop(const std::function<void()>& work);

// The desktop program turns it on; the tests of the commands leave it off, so
// that events they post are handled at the pumps where the commands handle them.
void setWorkRunsBesideEventLoop(bool on);
bool workRunsBesideEventLoop();

// True while the calling thread waits for such work.
bool isWaitingBesideEventLoop();

}  // namespace zd
