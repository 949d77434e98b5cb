// The X display of the desktop back end, and what FLTK leaves to Xlib:
// the desktop's resolution, the active window, activation and windows kept
// above the others.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/desktop.h"
#include "platform/desktop_widgets.h"
#include "platform/env.h"
#include "platform/version.h"

// Built with the leak checker, the programs would report what fontconfig,
// Xlib and FLTK keep until the process ends; those are not the program's.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libXft.so\nleak:libX11.so\nleak:libfltk.so\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace weft_desktop {

namespace {

constexpr long kNetWmStateAdd = 1;
constexpr long kSourceApplication = 1;

Atom AtomNamed(const char* name) { return XInternAtom(fl_display, name, False); }

// One window-valued property of the root window; 0 when missing.
Window RootWindowProperty(const char* name) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  Window value = 0;
  if (XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), AtomNamed(name), 0, 1,
                         False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data && count == 1 && format == 32) {
    value = *reinterpret_cast<Window*>(data);
  }
  if (data) XFree(data);
  return value;
}

int IgnoreError(Display*, XErrorEvent*) { return 0; }

// Resolutions taken as meant; anything else is a broken setting.
bool PlausibleDpi(double dpi) { return dpi >= 48 && dpi <= 480; }

// Xft.dpi from the X resources of the display (xrdb); 0 when not set.
double ResourceDpi() {
  const char* resources = XResourceManagerString(fl_display);
  if (!resources) return 0;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  char* type = nullptr;
  XrmValue value{};
  double dpi = 0;
  if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
    dpi = strtod(value.addr, nullptr);
  }
  if (database) XrmDestroyDatabase(database);
  return PlausibleDpi(dpi) ? dpi : 0;
}

double ScreenDpi() {
  float horizontal = 0, vertical = 0;
  Fl::screen_dpi(horizontal, vertical);
  return PlausibleDpi(vertical) ? vertical : 96;
}

bool WindowManagerRuns() { return RootWindowProperty("_NET_SUPPORTING_WM_CHECK") != 0; }

void SendToRoot(Window window, const char* type, long first, long second) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = AtomNamed(type);
  event.xclient.format = 32;
  event.xclient.data.l[0] = first;
  event.xclient.data.l[1] = second;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// The window class of every window: the program's name in lower case.
std::string ProgramClass() {
  const char* name = ProgramVersion().internalName;
  std::string lower = name ? name : "tessarin";
  for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
  return lower;
}

bool OpenDesktop() {
  const char* name = GetEnv("DISPLAY");
  if (!name || !*name) return false;
  Display* display = XOpenDisplay(name);
  if (!display) return false;
  fl_open_display(display);
  static std::string windowClass = ProgramClass();
  Fl_Window::default_xclass(windowClass.c_str());
  Fl::scheme("gtk+");
  FL_NORMAL_SIZE = DialogFontSize();
  Fl::scrollbar_size(ScaledPixels(Fl::scrollbar_size()));
  return true;
}

}  // namespace

double DesktopDpi() {
  static const double dpi = [] {
    fl_open_display();
    double resource = ResourceDpi();
    return resource ? resource : ScreenDpi();
  }();
  return dpi;
}

bool DesktopAvailable() {
  static const bool available = OpenDesktop();
  return available;
}

uintptr_t ActiveWindow() {
  Window active = RootWindowProperty("_NET_ACTIVE_WINDOW");
  if (active) return active;
  int revert;
  XGetInputFocus(fl_display, &active, &revert);
  return active == PointerRoot ? 0 : active;
}

void ActivateWindow(uintptr_t window) {
  if (!window) return;
  if (WindowManagerRuns()) {
    SendToRoot(window, "_NET_ACTIVE_WINDOW", kSourceApplication, CurrentTime);
  } else {
    // The window may be gone meanwhile; that is no error worth a message.
    XSync(fl_display, False);
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    XRaiseWindow(fl_display, window);
    XSetInputFocus(fl_display, window, RevertToParent, CurrentTime);
    XSync(fl_display, False);
    XSetErrorHandler(previous);
  }
  XFlush(fl_display);
}

void BringForward(Fl_Window* window, bool topmost) {
  window->wait_for_expose();
  Window xid = fl_xid(window);
  if (topmost && WindowManagerRuns()) {
    SendToRoot(xid, "_NET_WM_STATE", kNetWmStateAdd,
               static_cast<long>(AtomNamed("_NET_WM_STATE_ABOVE")));
  }
  ActivateWindow(xid);
}

}  // namespace weft_desktop
