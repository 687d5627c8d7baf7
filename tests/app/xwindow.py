#!/usr/bin/env python3
"""Starts a program on the current X display, waits until a window with the given title is mapped,
reports how long that took and the window's size, then closes the window as a window manager would
(a WM_DELETE_WINDOW message, so the program runs its own close handling) and waits for the program
to end. Exits with the program's exit code; 124 when the window never appeared or the program did
not end in time (it is killed then).

    xwindow.py --title TITLE [--timeout SECONDS] [--painted] -- PROGRAM [ARGS...]

Prints, one per line: "mapped_ms N", "painted_ms N" (with --painted: when the window's pixels first
differ from what the screen showed there before the program started), "title T", "size WxH",
"active_ms N" (when it took the focus), "exit N". Plain Xlib through ctypes, so nothing beyond libX11
is needed.
"""
import argparse
import ctypes
import ctypes.util
import subprocess
import sys
import time

Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", Window), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class XImage(ctypes.Structure):
    # The leading fields only: the pixels and their layout.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


IS_VIEWABLE = 2
CLIENT_MESSAGE = 33
Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF

xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = Window
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XInternAtom.restype = Atom
xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
xlib.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                            ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
xlib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(XWindowAttributes)]
xlib.XGetWindowProperty.argtypes = [ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                    Atom, ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
                                    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                    ctypes.POINTER(ctypes.c_void_p)]
xlib.XFree.argtypes = [ctypes.c_void_p]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
xlib.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                       ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                       ctypes.POINTER(Window)]
xlib.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int)]
xlib.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
xlib.XFlush.argtypes = [ctypes.c_void_p]
xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
# A window that vanishes between listing and asking must not end this helper.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
xlib.XSetErrorHandler(ERROR_HANDLER)


def window_name(display, window, net_wm_name):
    kind, fmt = Atom(), ctypes.c_int()
    count, after = ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.c_void_p()
    if xlib.XGetWindowProperty(display, window, net_wm_name, 0, 1024, 0, 0, ctypes.byref(kind),
                               ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                               ctypes.byref(data)) != 0 or not data.value:
        return None
    name = ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
    xlib.XFree(data)
    return name


def grab(display, drawable, x, y, width, height):
    """The pixels of a drawable's rectangle, one bytes object per row, or None."""
    image = xlib.XGetImage(display, drawable, x, y, width, height, ALL_PLANES, Z_PIXMAP)
    if not image:
        return None
    picture = image.contents
    row_bytes = width * picture.bits_per_pixel // 8
    rows = [ctypes.string_at(picture.data + row * picture.bytes_per_line, row_bytes) for row in range(height)]
    xlib.XFree(picture.data)
    xlib.XFree(image)
    return rows


def find_mapped(display, title, net_wm_name):
    """The mapped child of the root window titled exactly so, with its size, or None."""
    root = xlib.XDefaultRootWindow(display)
    root_ret, parent = Window(), Window()
    children = ctypes.POINTER(Window)()
    count = ctypes.c_uint()
    if not xlib.XQueryTree(display, root, ctypes.byref(root_ret), ctypes.byref(parent), ctypes.byref(children),
                           ctypes.byref(count)):
        return None
    found = None
    for i in range(count.value):
        window = children[i]
        attributes = XWindowAttributes()
        if not xlib.XGetWindowAttributes(display, window, ctypes.byref(attributes)):
            continue
        if attributes.map_state == IS_VIEWABLE and window_name(display, window, net_wm_name) == title:
            found = (window, attributes.width, attributes.height)
            break
    if children:
        xlib.XFree(children)
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--title", required=True)
    parser.add_argument("--timeout", type=float, default=30)
    parser.add_argument("--painted", action="store_true")
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.program[1:] if args.program[:1] == ["--"] else args.program

    display = xlib.XOpenDisplay(None)
    if not display:
        print("no X display", file=sys.stderr)
        return 2
    net_wm_name = xlib.XInternAtom(display, b"_NET_WM_NAME", 0)
    protocols = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    delete = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)

    # What the screen shows before the program starts: a window that still shows it is not painted yet.
    root = xlib.XDefaultRootWindow(display)
    screen = XWindowAttributes()
    xlib.XGetWindowAttributes(display, root, ctypes.byref(screen))
    before = grab(display, root, 0, 0, screen.width, screen.height) if args.painted else None

    started = time.monotonic()
    program = subprocess.Popen(command)
    deadline = started + args.timeout
    found = None
    while found is None and time.monotonic() < deadline and program.poll() is None:
        found = find_mapped(display, args.title, net_wm_name)
        if found is None:
            time.sleep(0.002)
    if found is None:
        print("window never appeared", file=sys.stderr)
        program.kill()
        program.wait()
        return 124
    window, width, height = found
    print(f"mapped_ms {(time.monotonic() - started) * 1000:.1f}")
    if before is not None:
        x, y, child = ctypes.c_int(), ctypes.c_int(), Window()
        xlib.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        # Only the part on the screen can be read.
        left, top = max(x.value, 0), max(y.value, 0)
        right, bottom = min(x.value + width, screen.width), min(y.value + height, screen.height)
        bpp = len(before[0]) // screen.width
        under = [row[left * bpp:right * bpp] for row in before[top:bottom]]
        while time.monotonic() < deadline and program.poll() is None:
            now = grab(display, window, left - x.value, top - y.value, right - left, bottom - top)
            if now is not None and now != under:
                break
            time.sleep(0.001)
        print(f"painted_ms {(time.monotonic() - started) * 1000:.1f}")
    print(f"title {args.title}")
    print(f"size {width}x{height}", flush=True)

    # Closing before the program has taken the focus would close it before its start-up is done.
    focus, revert = Window(), ctypes.c_int()
    while time.monotonic() < deadline and program.poll() is None:
        xlib.XGetInputFocus(display, ctypes.byref(focus), ctypes.byref(revert))
        if focus.value == window:
            break
        time.sleep(0.002)
    print(f"active_ms {(time.monotonic() - started) * 1000:.1f}", flush=True)

    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = protocols
    event.xclient.format = 32
    event.xclient.l[0] = delete
    event.xclient.l[1] = 0  # CurrentTime
    xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    xlib.XFlush(display)
    try:
        code = program.wait(timeout=max(1.0, deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        print("program did not end after its window was closed", file=sys.stderr)
        program.kill()
        program.wait()
        return 124
    print(f"exit {code}", flush=True)
    return code


if __name__ == "__main__":
    sys.exit(main())
