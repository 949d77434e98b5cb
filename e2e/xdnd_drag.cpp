// Test helper: drags a list of URIs onto an X window through the XDND
// protocol, as a file manager does, and reports whether the drop was taken.
//   xdnd_drag [--at X,Y] WINDOW URI...
// WINDOW is a window id (decimal or 0x hex); X,Y the point of the window the
// drag ends on (default its centre). As at the end of a real drag, where the
// user lets go of the button and the pointer is seen on the window again,
// the pointer is moved onto that point before the drop. The data is offered
// as "text/uri-list" and "text/plain;charset=utf-8", one URI a line with
// CR LF.
// Exit code 0: the target accepted and finished the drop; 1: it refused it;
// 2: bad arguments, no display or no answer within ten seconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kTimeoutMs = 10000;

struct Atoms {
  Atom aware, enter, position, status, drop, finished, selection, actionCopy, uriList, textPlain,
      targets;
};

Atoms InternAtoms(Display* display) {
  auto intern = [display](const char* name) { return XInternAtom(display, name, False); };
  return {intern("XdndAware"),     intern("XdndEnter"),       intern("XdndPosition"),
          intern("XdndStatus"),    intern("XdndDrop"),        intern("XdndFinished"),
          intern("XdndSelection"), intern("XdndActionCopy"),  intern("text/uri-list"),
          intern("text/plain;charset=utf-8"), intern("TARGETS")};
}

// The XDND version the window announces, 0 when it takes no drops.
long AwareVersion(Display* display, Window window, const Atoms& atoms) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, atoms.aware, 0, 1, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) != Success || !data) {
    return 0;
  }
  long version = count ? static_cast<long>(*reinterpret_cast<unsigned long*>(data)) : 0;
  XFree(data);
  return version;
}

void SendMessage(Display* display, Window target, Atom type, const long (&data)[5]) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = target;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
  XSendEvent(display, target, False, NoEventMask, &event);
  XFlush(display);
}

// Answers a request for the dragged data (or for the list of its types).
void AnswerRequest(Display* display, const XSelectionRequestEvent& request, const Atoms& atoms,
                   const std::string& data) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = request.property ? request.property : request.target;
  if (request.target == atoms.targets) {
    Atom types[] = {atoms.uriList, atoms.textPlain};
    XChangeProperty(display, request.requestor, reply.xselection.property, XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(types), 2);
  } else if (request.target == atoms.uriList || request.target == atoms.textPlain ||
             request.target == XInternAtom(display, "UTF8_STRING", False) ||
             request.target == XA_STRING) {
    XChangeProperty(display, request.requestor, reply.xselection.property, request.target, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
  } else {
    reply.xselection.property = None;
  }
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  XFlush(display);
}

// Waits for the next event; false after the timeout.
bool NextEvent(Display* display, XEvent* event) {
  while (!XPending(display)) {
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    if (poll(&fd, 1, kTimeoutMs) <= 0) return false;
  }
  XNextEvent(display, event);
  return true;
}

struct Point {
  int x = -1, y = -1;  // -1: the window's centre
};

int Drag(Display* display, Window target, Point at, const std::string& data) {
  Atoms atoms = InternAtoms(display);
  long version = AwareVersion(display, target, atoms);
  if (version == 0) {
    fprintf(stderr, "xdnd_drag: window 0x%lx takes no drops\n", target);
    return 1;
  }
  if (version > 5) version = 5;
  Window source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, atoms.selection, source, CurrentTime);

  int x = 0, y = 0;
  Window child;
  XWindowAttributes attributes;
  XGetWindowAttributes(display, target, &attributes);
  if (at.x < 0) at = {attributes.width / 2, attributes.height / 2};
  XTranslateCoordinates(display, target, DefaultRootWindow(display), at.x, at.y, &x, &y, &child);
  long src = static_cast<long>(source);
  SendMessage(display, target, atoms.enter,
              {src, version << 24, static_cast<long>(atoms.uriList),
               static_cast<long>(atoms.textPlain), 0});
  SendMessage(display, target, atoms.position,
              {src, 0, (static_cast<long>(x) << 16) | y, CurrentTime,
               static_cast<long>(atoms.actionCopy)});
  bool dropped = false;
  XEvent event;
  while (NextEvent(display, &event)) {
    if (event.type == SelectionRequest) {
      AnswerRequest(display, event.xselectionrequest, atoms, data);
      continue;
    }
    if (event.type != ClientMessage) continue;
    if (event.xclient.message_type == atoms.status && !dropped) {
      if (!(event.xclient.data.l[1] & 1)) {
        SendMessage(display, target, XInternAtom(display, "XdndLeave", False), {src, 0, 0, 0, 0});
        fprintf(stderr, "xdnd_drag: the drop was refused\n");
        return 1;
      }
      // The button is let go: the pointer shows on the window, then the drop.
      XWarpPointer(display, None, target, 0, 0, 0, 0, at.x, at.y);
      XSync(display, False);
      SendMessage(display, target, atoms.drop, {src, 0, CurrentTime, 0, 0});
      dropped = true;
    } else if (event.xclient.message_type == atoms.finished) {
      return 0;
    }
  }
  fprintf(stderr, "xdnd_drag: no answer from window 0x%lx\n", target);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Point at;
  bool badPoint = false;
  if (argc >= 3 && strcmp(argv[1], "--at") == 0) {
    badPoint = sscanf(argv[2], "%d,%d", &at.x, &at.y) != 2 || at.x < 0 || at.y < 0;
    argv += 2;
    argc -= 2;
  }
  if (badPoint || argc < 3) {
    fprintf(stderr, "usage: xdnd_drag [--at X,Y] WINDOW URI...\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "xdnd_drag: no display\n");
    return 2;
  }
  std::string data;
  for (int i = 2; i < argc; ++i) data += std::string(argv[i]) + "\r\n";
  Window target = static_cast<Window>(strtoul(argv[1], nullptr, 0));
  int result = Drag(display, target, at, data);
  XCloseDisplay(display);
  return result;
}
