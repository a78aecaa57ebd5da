#!/usr/bin/python3
"""Process-level check of drawing into a window that someone else made, as a
screensaver host does: a test window with the visual XScreenSaver picks for
OpenGL programs, `brevonne3d --window-id ID` drawing into it, a resize that
the picture follows, and the window destroyed under the running program,
which must then end cleanly. Run on a display (xvfb-run)."""
import os
import struct
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

EXE = sys.argv[1]
# Sanitizer builds run several times slower: their time limits are scaled.
SCALE = int(os.environ.get("VELMORA_TIME_SCALE", "1"))


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


def gl_visual(d):
    """The visual xscreensaver-gl-visual names, or the screen's default."""
    try:
        out = subprocess.run(["/usr/libexec/xscreensaver/xscreensaver-gl-visual"], capture_output=True,
                             text=True, timeout=20).stdout.strip()
        return int(out, 16)
    except (OSError, ValueError, subprocess.TimeoutExpired):
        return d.screen().root_visual


def depth_of(d, visual):
    for depth in d.screen().allowed_depths:
        for v in depth.visuals:
            if v.visual_id == visual:
                return depth.depth
    fail("visual 0x%x is not on the screen" % visual)


def picture_stats(d, window, width, height):
    """(distinct colours in a sample, mean brightness) of the window's pixels."""
    image = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    colours = set()
    total = 0
    samples = 0
    step = max(4, (len(data) // 4 // 2000) * 4)
    for i in range(0, len(data) - 3, step):
        b, g, r = data[i], data[i + 1], data[i + 2]
        colours.add((r >> 3, g >> 3, b >> 3))
        total += r + g + b
        samples += 1
    return len(colours), total / max(samples, 1) / 3


def wait_for(predicate, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return predicate()


def depth32_visual(d):
    """A 32-bit TrueColor visual (what compositing hosts may give their windows), or None."""
    for depth in d.screen().allowed_depths:
        if depth.depth == 32:
            for v in depth.visuals:
                if v.visual_class == X.TrueColor:
                    return v.visual_id
    return None


def run(d, visual, full):
    """One run into a window of the visual; full: also the resize, the settings and the cache."""
    screen = d.screen()
    depth = depth_of(d, visual)
    colormap = screen.root.create_colormap(visual, X.AllocNone)
    width, height = 725, 407  # the size of XScreenSaver's settings preview
    window = screen.root.create_window(0, 0, width, height, 0, depth, X.InputOutput, visual,
                                       colormap=colormap, border_pixel=0, background_pixel=0)
    window.map()
    d.sync()

    work = tempfile.mkdtemp()
    env = dict(os.environ, XDG_CACHE_HOME=work + "/cache", XDG_CONFIG_HOME=work + "/config")
    # A stored record that the run's options contradict: it must stay as it is.
    settings = work + "/config/Quillmere/Brevonne_3D/Settings"
    os.makedirs(os.path.dirname(settings))
    record = (bytes([1, 1, 0, 1]) + struct.pack("<ffiiiiB", 0.0, 0.5, 800, 600, 32, 2, 1) + bytes([7]) * 327)
    with open(settings, "wb") as f:
        f.write(record)
    log = open(work + "/log.txt", "w")
    proc = subprocess.Popen([EXE, "--window-id", hex(window.id), "--no-sound", "--fps", "--quality", "low",
                             "--speed", "2"], stdout=log,
                            stderr=subprocess.STDOUT, env=env)

    def log_text():
        with open(work + "/log.txt") as f:
            return f.read()

    try:
        if not wait_for(lambda: "Flight started" in log_text() or proc.poll() is not None, 60 * SCALE):
            fail("the run did not start")
        if proc.poll() is not None:
            print(log_text())
            fail("the run ended at once with code %d" % proc.returncode)
        # A few flight frames.
        wait_for(lambda: False, 2)
        colours, brightness = picture_stats(d, window, width, height)
        print("window 0x%x, visual 0x%x depth %d: %d colours, brightness %.0f" % (window.id, visual, depth,
                                                                                colours, brightness))
        if colours < 50 or brightness < 10:
            fail("the window shows no island (%d colours, brightness %.0f)" % (colours, brightness))
        if not full:
            window.destroy()
            d.sync()
            if proc.wait(timeout=10 * SCALE) != 0:
                fail("the run into a depth-%d window ended with code %d" % (depth, proc.returncode))
            return

        # The host resizes its window: the frame follows.
        window.configure(width=400, height=300)
        d.sync()
        if not wait_for(lambda: "View resized to 400 x 300" in log_text(), 10 * SCALE):
            fail("the resize was not followed")
        wait_for(lambda: False, 1)
        colours, brightness = picture_stats(d, window, 400, 300)
        if colours < 50 or brightness < 10:
            fail("nothing drawn after the resize (%d colours)" % colours)

        # The window goes away under the running program.
        window.destroy()
        d.sync()
        gone = time.time()
        try:
            code = proc.wait(timeout=5 * SCALE)
        except subprocess.TimeoutExpired:
            fail("still running 5 s after its window was destroyed")
        print("ended %.2f s after the window was destroyed, code %d" % (time.time() - gone, code))
        text = log_text()
        if code != 0:
            print(text)
            fail("ended with code %d" % code)
        if "X Error" in text or "BadWindow" in text or "BadDrawable" in text:
            fail("X errors were printed")
        left = os.listdir(work + "/cache/Quillmere") if os.path.isdir(work + "/cache/Quillmere") else []
        if left:
            fail("left behind in the cache folder: %s" % left)
        with open(settings, "rb") as f:
            if f.read() != record:
                fail("a host run changed the stored settings")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def main():
    d = xdisplay.Display()
    run(d, gl_visual(d), True)
    # A core context fails with BadMatch on such windows; ours takes the window's visual.
    visual = depth32_visual(d)
    if visual is not None:
        run(d, visual, False)
    print("PASS")


main()
