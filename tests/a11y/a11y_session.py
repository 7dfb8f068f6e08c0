#!/usr/bin/python3
"""A private desktop session for looking at Tallix as a screen-reader user does:
Xvfb (a display it picks itself), a D-Bus session with the accessibility bus,
optionally the Orca screen reader writing every line it would speak to its debug
log, and the program with private HOME and XDG folders.

  a11y_session.py orca PROGRAM   types keys and checks what Orca says after them
  a11y_session.py keypad PROGRAM what the calculator's keys say: results,
                                 state changes, refusals, the R.P.N. stack
  a11y_session.py lists PROGRAM  the converter's lists by keyboard, the pointer resting on them
  a11y_session.py walk PROGRAM   walks the accessible tree of every page and of
                                 the Options dialog: every control named and
                                 reachable from the keyboard

Exit status 77 when a tool the session needs is missing (the test is skipped).
"""
import fcntl, os, re, shutil, signal, subprocess, sys, tempfile, time

SKIP = 77
NEEDED = ['Xvfb', 'dbus-launch', 'xdotool']
BUS_LAUNCHER = '/usr/libexec/at-spi-bus-launcher'
# Orca runs once per user on the whole machine: a second one refuses to
# start, and --replace kills every other Orca of the user, a screen reader in
# use included. Sessions of the same user take turns through this lock.
ORCA_LOCK = os.path.join(tempfile.gettempdir(), 'tallix-a11y-orca-%d.lock' % os.getuid())


class Session:
    def __init__(self, program, with_orca):
        for tool in NEEDED + (['orca'] if with_orca else []):
            if not shutil.which(tool):
                print('missing tool:', tool)
                sys.exit(SKIP)
        if not os.path.exists(BUS_LAUNCHER):
            print('missing tool:', BUS_LAUNCHER)
            sys.exit(SKIP)
        self.dir = tempfile.mkdtemp(prefix='tallix-a11y-')
        self.procs = []
        self.dbus_pid = 0
        self.lock = None
        try:
            self.launch(program, with_orca)
        except BaseException:
            self.close()  # a session that failed to start leaves nothing running
            raise

    def bus_config(self):
        """A session bus that starts the system's session services but no desktop
        portal: one installed here would answer for the user's own desktop."""
        services = os.path.join(self.dir, 'services')
        os.makedirs(services)
        for folder in ['/usr/share/dbus-1/services', '/usr/local/share/dbus-1/services']:
            for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
                if 'portal' not in name and not os.path.exists(os.path.join(services, name)):
                    os.symlink(os.path.join(folder, name), os.path.join(services, name))
        path = os.path.join(self.dir, 'bus.conf')
        with open(path, 'w') as conf:
            conf.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"\n'
                       ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                       '<busconfig><type>session</type><listen>unix:tmpdir=%s</listen>'
                       '<servicedir>%s</servicedir><policy context="default"><allow send_destination="*"/>'
                       '<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>\n' % (self.dir, services))
        return path

    def launch(self, program, with_orca):
        env = dict(os.environ)
        for name in ['HOME', 'XDG_CONFIG_HOME', 'XDG_DATA_HOME', 'XDG_CACHE_HOME', 'XDG_RUNTIME_DIR']:
            path = os.path.join(self.dir, name.lower())
            os.makedirs(path, mode=0o700)
            env[name] = path
        env.pop('QT_QPA_PLATFORM', None)
        env.pop('WAYLAND_DISPLAY', None)
        read, write = os.pipe()
        self.start(['Xvfb', '-displayfd', str(write), '-noreset', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                   env, pass_fds=(write,))
        os.close(write)
        number = b''
        while not number.endswith(b'\n'):
            chunk = os.read(read, 16)
            if not chunk:
                sys.exit('Xvfb did not start')
            number += chunk
        os.close(read)
        env['DISPLAY'] = ':' + number.decode().strip()
        bus = ['dbus-launch', '--sh-syntax', '--config-file=' + self.bus_config()]
        for line in subprocess.run(bus, env=env, capture_output=True, text=True, check=True).stdout.splitlines():
            m = re.match(r"(\w+)='?([^';]*)'?;", line)
            if m:
                env[m.group(1)] = m.group(2)
        self.dbus_pid = int(env.get('DBUS_SESSION_BUS_PID', '0'))
        self.env = env
        self.start([BUS_LAUNCHER, '--launch-immediately'], env)
        time.sleep(1)
        self.log = os.path.join(self.dir, 'orca.log')
        if with_orca:
            self.take_orca_turn()
            # Orca's debug log is block-buffered: run it with that one file
            # line-buffered so that each spoken line shows when it is spoken.
            wrapper = ('import builtins, runpy, sys\n'
                       'real = builtins.open\n'
                       'def line_buffered(file, mode="r", *args, **kw):\n'
                       '    if file == sys.argv[-1][len("--debug-file="):]:\n'
                       '        return real(file, mode, 1, encoding="utf-8")\n'
                       '    return real(file, mode, *args, **kw)\n'
                       'builtins.open = line_buffered\n'
                       'sys.argv = sys.argv[1:]\n'
                       'runpy.run_path(sys.argv[0], run_name="__main__")\n')
            self.start(['/usr/bin/python3', '-c', wrapper, shutil.which('orca'),
                        '--debug-file=' + self.log], env)
            self.wait_for(lambda: 'registering listener' in self.read_log(), 30, 'Orca did not start')
            time.sleep(1)
        app_env = dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        self.allow_bridge_leak(app_env)
        self.app = self.start([program], app_env)
        self.window = None
        self.wait_for(self.find_window, 30, 'no window appeared')
        self.xdotool('windowactivate', '--sync', self.window)
        self.xdotool('windowfocus', '--sync', self.window)

    def allow_bridge_leak(self, env):
        """Under the leak checker: Qt's accessibility bridge copies each key
        event until the screen reader answers for it, and a window that ends
        while an answer is due leaves that copy behind. Only these sessions,
        where a screen reader listens to the keys, allow it."""
        options = env.get('LSAN_OPTIONS', '')
        m = re.search(r'suppressions=([^:]+)', options)
        if not m:
            return
        path = os.path.join(self.dir, 'lsan.supp')
        with open(m.group(1)) as base, open(path, 'w') as out:
            out.write(base.read() + '\nleak:QCoreApplicationPrivate::sendThroughApplicationEventFilters\n')
        env['LSAN_OPTIONS'] = options.replace(m.group(0), 'suppressions=' + path)
        # The suppression names a frame of Qt's, reached only by the full unwinder.
        env['ASAN_OPTIONS'] = env.get('ASAN_OPTIONS', '') + ':fast_unwind_on_malloc=0'

    def take_orca_turn(self):
        self.lock = open(ORCA_LOCK, 'w')
        end = time.time() + 150
        while True:
            try:
                fcntl.flock(self.lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                break
            except BlockingIOError:
                if time.time() > end:
                    sys.exit('another session kept the Orca lock for 150 s')
                time.sleep(0.5)
        others = []
        for pid in filter(str.isdigit, os.listdir('/proc')):
            try:
                with open('/proc/%s/comm' % pid) as f:
                    if f.read().strip() == 'orca' and os.stat('/proc/' + pid).st_uid == os.getuid():
                        others.append(pid)
            except OSError:
                pass
        if others:
            print('an Orca of this user is running already (pid %s): not replacing it' % ' '.join(others))
            sys.exit(SKIP)

    def start(self, argv, env, **kw):
        p = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if self.dbus_pid:
            try:
                os.kill(self.dbus_pid, signal.SIGTERM)
            except OSError:
                pass
        shutil.rmtree(self.dir, ignore_errors=True)
        if self.lock:
            self.lock.close()  # after Orca is gone: the next session may start its own

    def xdotool(self, *args):
        return subprocess.run(['xdotool', *args], env=self.env, capture_output=True, text=True).stdout

    def find_window(self):
        ids = self.xdotool('search', '--onlyvisible', '--pid', str(self.app.pid), '--name', 'Tallix').split()
        self.window = ids[0] if ids else None
        return self.window

    def key(self, *keys):
        for k in keys:
            self.xdotool('key', '--window', self.window, k)
            time.sleep(0.3)

    def read_log(self):
        try:
            with open(self.log, 'rb') as f:
                return f.read().decode('utf-8', 'replace')
        except OSError:
            return ''

    def spoken(self):
        return [line.split('SPEECH OUTPUT: ', 1)[1] for line in self.read_log().splitlines()
                if 'SPEECH OUTPUT: ' in line]

    @staticmethod
    def wait_for(test, seconds, failure):
        end = time.time() + seconds
        while time.time() < end:
            if test():
                return
            time.sleep(0.2)
        sys.exit(failure)


def orca(program):
    """What a blind user hears: each step's keys, and a pattern Orca must say after them."""
    steps = [
        ('a result', ['2', 'plus', '3', 'Return'], r'\b5\b'),
        ('the next group', ['Down'], r'Algebra panel'),
        # Only the item: Orca 43 cannot be made to name a Qt 6.4 popup menu
        # (see CGroupMenuPopup::Exec).
        ('the group menu', ['F10'], r'Display panel.*Algebra checked|Algebra checked'),
        ('the next menu item', ['Down'], r'Trigonometry 1'),
        ('a group chosen in the menu', ['Down', 'Down', 'Down', 'Down', 'Return'], r'Unit Converter panel'),
        ('a labelled converter control', ['Tab', 'Tab'], r'(Category|From|To) combo box'),
        ('the group menu from a converter page', ['F10'], r'Unit Converter checked'),
        ('the menu closed', ['Escape'], r'Unit Converter panel|combo box'),
    ]
    s = Session(program, with_orca=True)
    failures = []
    try:
        time.sleep(2)
        for what, keys, pattern in steps:
            before = len(s.spoken())
            s.key(*keys)
            heard = []

            def said():
                heard[:] = s.spoken()[before:]
                return re.search(pattern, ' '.join(heard))
            try:
                Session.wait_for(said, 15, '')
                print('ok: %s: %s' % (what, ' '.join(heard)))
            except SystemExit:
                failures.append('%s: after %s Orca said %r, not /%s/' % (what, ' '.join(keys), heard, pattern))
    finally:
        s.close()
    for f in failures:
        print('FAIL:', f)
    return 1 if failures else 0


class SeededSession(Session):
    """A session whose settings file holds `settings` when the program starts."""

    def __init__(self, program, settings):
        self.settings = settings
        super().__init__(program, with_orca=True)

    def start(self, argv, env, **kw):
        if 'QT_LINUX_ACCESSIBILITY_ALWAYS_ON' in env and self.settings:
            folder = os.path.join(env['XDG_CONFIG_HOME'], 'Fernhill')
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, 'Tallix.conf'), 'w') as f:
                f.write(self.settings)
        return super().start(argv, env, **kw)


def press_until(s, key, pattern, limit):
    """Presses key until Orca says pattern (a group's panel, a key's name)."""
    for _ in range(limit):
        before = len(s.spoken())
        s.key(key)
        time.sleep(0.4)
        if re.search(pattern, ' '.join(s.spoken()[before:])):
            return True
    return False


def run_steps(s, steps):
    """Steps of (what, keys, pattern Orca must say after the last key[, pattern
    it must not say]). A key '@Name' moves to group Name with Down, '>name' the
    focus mark to the key so named with Tab."""
    failures = []
    for what, keys, pattern, *unwanted in steps:
        for k in keys[:-1]:
            if k.startswith('@') and not press_until(s, 'Down', r'\b%s panel' % re.escape(k[1:]), 15):
                failures.append('%s: no group %s' % (what, k[1:]))
            elif k.startswith('>') and not press_until(s, 'Tab', k[1:], 60):
                failures.append('%s: no key /%s/' % (what, k[1:]))
            elif k[0] not in '@>':
                s.key(k)
        time.sleep(0.5)
        before = len(s.spoken())
        s.key(keys[-1])
        heard = []

        def said():
            heard[:] = s.spoken()[before:]
            return re.search(pattern, ' '.join(heard))
        try:
            Session.wait_for(said, 10, '')
        except SystemExit:
            failures.append('%s: after %s Orca said %r, not /%s/' % (what, ' '.join(keys), heard, pattern))
            continue
        time.sleep(1)
        heard[:] = s.spoken()[before:]
        if unwanted and re.search(unwanted[0], ' '.join(heard)):
            failures.append('%s: after %s Orca said %r' % (what, ' '.join(keys), heard))
        else:
            print('ok: %s: %s' % (what, ' | '.join(heard)))
    return failures


def keypad(program):
    """What the calculator's keys say to a blind user, beyond the typed key's echo."""
    algebraic = [
        ('the read-out, in the display', ['Escape', 'Tab'], r'Display panel.*\b0\b'),
        ('a result equal to the last number', ['Escape', '4', 'slash', '2', 'Return'], r'\b2\b'),
        ('a result equal to the last number typed', ['1', '0', 'minus', '5', 'Return'], r'\b5\b'),
        ('equals again', ['5', 'Return', 'Return'], r'\b5\b'),
        ('an open parenthesis', ['Escape', '2', 'plus', 'parenleft'], r'left paren', r'notification|\b0\b'),
        ('a letter outside the base', ['Escape', 'a'], r'not available in base 10'),
        ('a 21st digit', ['Escape'] + ['1'] * 20 + ['2'], r'20 at most'),
        ('the angle unit', ['Escape', '@Trigonometry 1', '>switch angle unit', 'space'], r'radians'),
        # Escape sets the memory keys back to adding: the number comes first.
        ('a memory mode key', ['Escape', '4', '2', '@Memory', '>memory mode: store', 'space'], r'memory mode: store'),
        ('storing into memory 2', ['>memory 2\\b', 'space'], r'memory 2 stored: 42'),
        ('a repeated memory plus', ['>memory plus', 'space', 'space'], r'memory 1: 84'),
        ('the display read out', ['F2'], r'42, RAD, M1, M2'),
    ]
    rpn = [
        ('the R.P.N. stack', ['Escape', '3', 'Return', '5', 'F2'], r'X: 5, Y: 3, Z: 0, T: 0'),
    ]
    failures = []
    for settings, steps in [('', algebraic), ('[SOFTWARE\\Fernhill\\Tallix\\Calculator]\nCalcMode=4\n', rpn)]:
        s = SeededSession(program, settings)
        try:
            time.sleep(2)
            failures += run_steps(s, steps)
        finally:
            s.close()
    for f in failures:
        print('FAIL:', f)
    return 1 if failures else 0


def run_list_steps(s, steps):
    """Types each step's keys ('park' rests the pointer over the converter's
    open lists) and checks what Orca says after them; the failures."""
    failures = []
    time.sleep(2)
    for what, keys, pattern in steps:
        before = len(s.spoken())
        for k in keys:
            if k == 'park':
                s.xdotool('mousemove', '--window', s.window, '60', '100')
                time.sleep(0.3)
            else:
                s.key(k)
        heard = []

        def said():
            heard[:] = s.spoken()[before:]
            return re.search(pattern, ' '.join(heard))
        try:
            Session.wait_for(said, 15, '')
            print('ok: %s: %s' % (what, ' '.join(heard)))
        except SystemExit:
            failures.append('%s: after %s Orca said %r, not /%s/' % (what, ' '.join(keys), heard, pattern))
    return failures


def lists(program):
    """The converter's lists from the keyboard, the pointer resting over them."""
    to_converter = ['F10'] + ['Down'] * 6 + ['Return']
    steps = [
        ('the unit converter', to_converter, r'Unit Converter panel'),
        ('the category list', ['park', 'Tab', 'Tab'], r'Category combo box'),
        ('Escape keeps the chosen category', ['space'] + ['Down'] * 9 + ['Escape'],
         r'Category combo box.*Distance'),
        ('Down on the list changes it and says the conversion', ['Down'], r'Temperature, 0 °C = 32 °F'),
        ('the group stays', ['Up'], r'Distance, 0 mi = 0 km'),
        ('the other unit and its conversion', ['Tab', 'Tab', 'Down'], r', 0 mi = 0 '),
        ('the reverse control', ['Tab'], r'Reverse push button'),
        ('reversed: the new conversion', ['5', 'space'], r'= 5 mi'),
        ('the reverse control keeps its name', ['shift+Tab', 'Tab'], r'Reverse push button'),
        # The list scrolls under the resting pointer: End stays on the last entry.
        ('the last category chosen', ['Tab', 'Tab', 'space', 'End', 'Return'], r'International Clothing'),
        ('back from the clothing sizes', ['Escape'], r'Unit Converter panel|Category| = '),
        ('the tip calculator', ['F10', 'Up', 'Up', 'Return', '2', '0', 'Tab', 'Tab', 'Down'],
         r'Tip Amount \S+, Total Per Person \S+'),
    ]
    s = Session(program, with_orca=True)
    try:
        failures = run_list_steps(s, steps)
    finally:
        s.close()
    for f in failures:
        print('FAIL:', f)
    return 1 if failures else 0


INTERACTIVE = {'push button', 'combo box', 'check box', 'radio button', 'menu item', 'list', 'list item',
               'text', 'spin button', 'slider', 'page tab', 'table', 'tree', 'tree table', 'toggle button'}


def check_tree(app, where, problems):
    import pyatspi
    seen = 0

    def visit(acc, depth):
        nonlocal seen
        role = acc.getRoleName()
        state = acc.getState()
        if not state.contains(pyatspi.STATE_SHOWING):
            return
        if role in INTERACTIVE and state.contains(pyatspi.STATE_ENABLED) and role not in ('list item',):
            seen += 1
            labelled = any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY for r in acc.getRelationSet())
            if not (acc.name or '').strip() and not labelled:
                problems.append('%s: unnamed %s (%s)' % (where, role, path(acc)))
            if not state.contains(pyatspi.STATE_FOCUSABLE) and role not in ('list', 'table', 'tree'):
                problems.append('%s: %s %r cannot take the focus' % (where, role, acc.name))
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                visit(child, depth + 1)

    def path(acc):
        parts = []
        while acc is not None and acc.getRoleName() != 'application':
            parts.append('%s %r' % (acc.getRoleName(), acc.name))
            acc = acc.parent
        return ' < '.join(parts)
    visit(app, 0)
    return seen


def find_all(acc, test, out=None):
    out = [] if out is None else out
    if test(acc):
        out.append(acc)
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            find_all(child, test, out)
    return out


def check_menu(app, s, problems):
    """The menu button pressed over the bus returns at once; the menu is a popup
    menu of menu items, the current group checked and the highlight focused."""
    import pyatspi
    showing = lambda a: a.getState().contains(pyatspi.STATE_SHOWING)
    buttons = find_all(app, lambda a: a.getRoleName() == 'push button' and a.name == 'Group menu' and showing(a))
    if not buttons:
        problems.append('no group menu button')
        return
    start = time.time()
    buttons[0].queryAction().doAction(0)
    if time.time() - start > 2:
        problems.append('pressing the group menu button took %.1f s' % (time.time() - start))
    menus = []
    Session.wait_for(lambda: menus.extend(find_all(app, lambda a: a.getRoleName() == 'popup menu')) or menus,
                     10, 'the group menu did not appear in the tree')
    items = [menus[0].getChildAtIndex(i) for i in range(menus[0].childCount)]
    roles = {i.getRoleName() for i in items}
    checked = [i.name for i in items if i.getState().contains(pyatspi.STATE_CHECKED)]
    focused = [i.name for i in items if i.getState().contains(pyatspi.STATE_FOCUSED)]
    for item in items:
        if item.getRoleName() != 'separator' and not item.name:
            problems.append('group menu: unnamed item')
    print('group menu: %d items, checked %s, focused %s' % (len(items), checked, focused))
    if roles - {'menu item', 'check menu item', 'radio menu item', 'separator'}:
        problems.append('group menu holds %s' % sorted(roles))
    if len(checked) != 1 or focused != checked:
        problems.append('group menu: checked %s, focused %s' % (checked, focused))
    s.key('Escape')
    time.sleep(0.5)


def walk(program):
    s = Session(program, with_orca=False)
    problems = []
    try:
        os.environ.update(s.env)  # the private session's buses
        import pyatspi
        desk = pyatspi.Registry.getDesktop(0)

        def find_app():
            for i in range(desk.childCount):
                a = desk.getChildAtIndex(i)
                if a is not None and (a.name or '').lower() == 'tallix':
                    return a
            return None
        Session.wait_for(find_app, 20, 'Tallix is not on the accessibility bus')
        app = find_app()
        frame = app.getChildAtIndex(0)
        groups = [c.name for c in frame if c.getRoleName() == 'panel' and c.name not in ('Display', 'Keypad')]
        for _ in groups:
            shown = [c.name for c in frame if c.getRoleName() == 'panel' and
                     c.getState().contains(pyatspi.STATE_SHOWING) and c.name not in ('Display', 'Keypad')]
            count = check_tree(app, 'page %s' % '/'.join(shown), problems)
            print('page %s: %d controls' % ('/'.join(shown), count))
            s.key('Down')
            time.sleep(0.7)
        check_menu(app, s, problems)
        s.key('ctrl+comma')
        Session.wait_for(lambda: app.childCount > 1, 15, 'Ctrl+comma opened no Options dialog')
        time.sleep(1)
        for tab in range(6):
            count = check_tree(app.getChildAtIndex(app.childCount - 1), 'Options page %d' % (tab + 1), problems)
            print('Options page %d: %d controls' % (tab + 1, count))
            s.key('ctrl+Tab')
            time.sleep(0.7)
    finally:
        s.close()
    for p in problems:
        print('FAIL:', p)
    return 1 if problems else 0


if __name__ == '__main__':
    if len(sys.argv) != 3 or sys.argv[1] not in ('orca', 'keypad', 'walk', 'lists'):
        sys.exit(__doc__)
    if sys.argv[1] == 'walk':
        try:
            import pyatspi  # noqa: F401
        except ImportError:
            print('missing: python3-pyatspi')
            sys.exit(SKIP)
    sys.exit({'orca': orca, 'keypad': keypad, 'walk': walk, 'lists': lists}[sys.argv[1]](sys.argv[2]))
