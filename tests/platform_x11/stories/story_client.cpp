// A small X client for the real-window stories, for what the stock X programs
// cannot be asked for: a window of a fixed size (minimum and maximum size
// hints equal) and a dialog transient for it. It names its process
// (_NET_WM_PID) and class as toolkits do, and runs until killed.
//
//   story_client --title T [--size WxH] [--fixed] [--dialog]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

Window makeWindow(Display* d, const std::string& title, int width, int height, bool fixed) {
  const int screen = DefaultScreen(d);
  Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 200, 200, width, height, 0,
                                 BlackPixel(d, screen), WhitePixel(d, screen));
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PPosition | PSize | PWinGravity;
  hints->win_gravity = NorthWestGravity;
  if (fixed) {
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
  }
  XSetWMNormalHints(d, w, hints);
  XFree(hints);
  XStoreName(d, w, title.c_str());
  XClassHint klass{const_cast<char*>("storyclient"), const_cast<char*>("StoryClient")};
  XSetClassHint(d, w, &klass);
  const long pid = static_cast<long>(getpid());
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title = "story";
  int width = 400, height = 300;
  bool fixed = false, dialog = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--title") && i + 1 < argc) {
      title = argv[++i];
    } else if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
      std::sscanf(argv[++i], "%dx%d", &width, &height);
    } else if (!std::strcmp(argv[i], "--fixed")) {
      fixed = true;
    } else if (!std::strcmp(argv[i], "--dialog")) {
      dialog = true;
    } else {
      std::fprintf(stderr, "usage: story_client --title T [--size WxH] [--fixed] [--dialog]\n");
      return 2;
    }
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const Window main = makeWindow(d, title, width, height, fixed);
  XMapWindow(d, main);
  if (dialog) {
    const Window box = makeWindow(d, title + " dialog", 240, 120, false);
    XSetTransientForHint(d, box, main);
    XMapWindow(d, box);
  }
  XFlush(d);
  XEvent event;
  for (;;) XNextEvent(d, &event);
}
