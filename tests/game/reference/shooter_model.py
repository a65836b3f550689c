#!/usr/bin/env python3
"""Reference model of the shooter's rules, written for frame-by-frame checks
of the C++ game through tarvo-replay.

Every float field of the game is a 32-bit float; f32() rounds a Python double
into one. A float-op-float in C++ equals f32(a op b) done in double.

  shooter_model.py SCRIPT FRAMES          print one JSON line per frame
  shooter_model.py --bot FRAMES OUT.keys  let the bot play, write its keys
"""

import json
import math
import struct
import sys

_F = struct.Struct('f')


def f32(x):
    try:
        return _F.unpack(_F.pack(x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


DEG = 3.141592 / 180          # the game's own (inexact) degree factor
NEG07 = f32(-0.7)             # bounce factor, a float literal
CELL = 42
COLS, ROWS = 40, 30

FLYING, EXPLODING, RESPAWNING, WAITING = 0, 1, 2, 3
KEYS = ('SPACE', 'P', 'LEFT', 'UP', 'RIGHT', 'DOWN')


def dsqrt(x):
    return math.sqrt(x) if x >= 0 else math.nan


def dcos(a):
    return math.cos(a) if math.isfinite(a) else math.nan


def dsin(a):
    return math.sin(a) if math.isfinite(a) else math.nan


def dacos(x):
    return math.acos(x) if -1.0 <= x <= 1.0 else math.nan


def flen(x, y):
    """Float length: double sqrt of the float x*x + y*y, rounded to float."""
    return f32(dsqrt(f32(f32(x * x) + f32(y * y))))


def dlen(x, y):
    """Double length of float components (compared in double, not stored)."""
    return dsqrt(f32(f32(x * x) + f32(y * y)))


def trunc_int(x):
    if not math.isfinite(x):
        return -2 ** 31           # whatever C gives, it lies outside the grid
    return int(x)


class Rand:
    """The runtime's rand(), never seeded."""

    def __init__(self):
        self.seed = 1

    def __call__(self):
        self.seed = (self.seed * 214013 + 2531011) & 0xFFFFFFFF
        return (self.seed >> 16) & 32767


class Arena:
    def __init__(self, note=lambda what: None):
        self.note = note
        g = bytearray(COLS * ROWS)
        for c in range(COLS):
            for r in range(ROWS):
                if c in (0, COLS - 1) or r in (0, ROWS - 1):
                    g[c * ROWS + r] = 1
        for r in range(10, 20):
            g[10 * ROWS + r] = 1
            g[30 * ROWS + r] = 1
        self.grid = g

    def wall(self, c, r):
        if c < 0 or c >= COLS or r < 0 or r >= ROWS:
            return True           # beyond the grid counts as wall
        return self.grid[c * ROWS + r] == 1

    def test(self, x, y, vx, vy):
        c = trunc_int(f32(x / CELL))
        r = trunc_int(f32(y / CELL))
        sx = 1 if vx > 0 else (0 if vx == 0 else -1)   # NaN: negative
        sy = 1 if vy > 0 else (0 if vy == 0 else -1)
        t = 0
        if self.wall(c + sx, r):
            t |= 1
        if self.wall(c, r + sy):
            t |= 2
        return t

    def bounce(self, x, y, vx, vy):
        """Returns the bounced velocity. Bounded so that a ship standing in a
        wall cell with nothing left to flip cannot loop for ever."""
        t = self.test(x, y, vx, vy)
        if t:
            self.note(('', 'bounce off a wall across x', 'bounce off a wall across y',
                       'bounce off walls across x and y')[t])
        flips = 0
        while t != 0 and flips < 1000:
            if t & 1:
                vx = f32(vx * NEG07)
            if t & 2:
                vy = f32(vy * NEG07)
            t = self.test(x, y, vx, vy)
            flips += 1
            if t != 0 and not ((t & 1 and vx != 0) or (t & 2 and vy != 0)):
                self.note('bounce stopped with nothing left to flip')
                break
        if flips > 1:
            self.note('bounce flipped more than once')
        if flips >= 1000:
            self.note('bounce stopped at 1000 flips')
        return vx, vy


class PhotonPool:
    CAPACITY = 5

    def __init__(self, rand, note):
        self.rand = rand
        self.note = note
        self.p = []               # live photons, slot order: [x, y, vx, vy, age]

    def fire(self, x, y, vx, vy):
        if len(self.p) == self.CAPACITY:
            self.note('full pool overwritten')
            slot = (self.rand() * (self.CAPACITY - 1)) // 32767
            self.p[slot] = [x, y, vx, vy, 0]
        else:
            slot = len(self.p)
            self.p.append([x, y, vx, vy, 0])
        return slot

    def remove(self, i):
        last = self.p.pop()
        if i < len(self.p):
            self.p[i] = last

    def update(self):
        i = 0
        while i < len(self.p):
            ph = self.p[i]
            ph[0] = f32(ph[0] + ph[2])
            ph[1] = f32(ph[1] + ph[3])
            ph[4] += 1
            if ph[4] > 100:
                self.remove(i)    # the last one lands here, unvisited
            i += 1


class Player:
    def __init__(self, game):
        self.g = game
        self.state = FLYING
        self.health = 100
        self.visible = True
        self.angle = f32(90)
        self.turn = f32(0)
        self.x, self.y = f32(840), f32(630)
        self.vx = self.vy = f32(0)
        self.fire_counter = 0
        self.spawn_x, self.spawn_y = self.x, self.y
        self.wait_counter = 0
        self.frame = 0
        game.view_x = f32(398 - self.x)
        game.view_y = f32(276 - self.y)

    def alive(self):
        return self.health > 0

    def controls(self, keys):
        a = self.angle * DEG
        if 'LEFT' in keys:
            self.turn = f32(3)
        elif 'RIGHT' in keys:
            self.turn = f32(-3)
        else:
            self.turn = f32(self.turn * 0.8)
        if 'UP' in keys:
            self.vx = f32(4 * dcos(a))
            self.vy = f32(-4 * dsin(a))
            self.frame = 1
        elif 'DOWN' in keys:
            self.vx = f32(-4 * dcos(a))
            self.vy = f32(4 * dsin(a))
            self.frame = 0
        else:
            self.vx = f32(self.vx * 0.9)
            self.vy = f32(self.vy * 0.9)
            self.frame = 0
        if 'SPACE' in keys:
            c = self.fire_counter
            self.fire_counter = c + 1
            if c > 10:
                self.fire_counter = 0
                self.g.photons[0].fire(self.x, self.y,
                                       f32(20 * dcos(a) + self.vx),
                                       f32(self.vy - 20 * dsin(a)))

    def bounce_walls(self):
        self.vx, self.vy = self.g.arena.bounce(self.x, self.y, self.vx, self.vy)

    def move(self):
        self.angle = f32(self.angle + self.turn)
        if self.angle < 0:
            self.angle = f32(self.angle + 360)
        if self.angle > 360:
            self.angle = f32(self.angle - 360)
        self.x = f32(self.x + self.vx)
        self.y = f32(self.y + self.vy)
        g = self.g
        g.view_x = f32(g.view_x - self.vx)
        g.view_y = f32(g.view_y - self.vy)

    def explode_step(self):
        self.state = EXPLODING
        if self.frame >= 10:
            self.state = WAITING
            self.visible = False
        elif self.frame >= 5:
            self.frame += 1
        else:
            self.vx = self.vy = f32(0)
            self.frame = 5

    def respawn_step(self):
        self.visible = True
        self.state = RESPAWNING
        if self.frame > 13:
            self.health = 100
            self.angle = f32(90)
            self.g.view_x = f32(398 - self.x)
            self.g.view_y = f32(276 - self.y)
            self.state = FLYING
            self.frame = 0
        elif self.frame >= 11:
            self.frame += 1
        else:
            self.x, self.y = self.spawn_x, self.spawn_y
            self.frame = 11

    def step_state(self):
        if self.state == EXPLODING:
            self.explode_step()
        elif self.state == WAITING:
            if self.wait_counter < 100:
                self.wait_counter += 1
            else:
                self.state = RESPAWNING
                self.wait_counter = 0
        elif self.state == RESPAWNING:
            self.respawn_step()

    def damage(self, amount):
        self.health -= amount
        if self.health > 0:
            if self.frame > 4:
                self.frame = 0
            elif self.frame >= 2:
                self.frame += 1
            else:
                self.frame = 2
        else:
            self.explode_step()


# colour: start x, start y, health, fire interval, leg base length
ENEMY = {1: (150, 200, 80, 80, 200), 2: (1530, 200, 100, 60, 160),
         3: (840, 1110, 120, 40, 120)}


class Enemy:
    def __init__(self, game, colour):
        sx, sy, health, interval, base = ENEMY[colour]
        self.g = game
        self.colour = colour
        self.pool = game.photons[colour]
        self.step = 0
        self.leg = 0
        self.aim_x = self.aim_y = f32(0)
        self.health = health
        self.interval = interval
        self.base = base
        self.fire_counter = 0
        self.angle = f32(90)
        self.heading = f32(0)
        self.x, self.y = f32(sx), f32(sy)
        self.vx = self.vy = f32(0)
        self.hit = self.dying = False
        self.visible = True
        self.frame = 0

    def alive(self):
        return self.health > 0

    def think(self):
        pl = self.g.player
        if self.step < self.leg:
            self.step += 1
            c = self.fire_counter
            self.fire_counter = c + 1
            if c > self.interval:
                self.fire_counter = 0
                a = self.angle * DEG
                self.pool.fire(self.x, self.y, f32(10 * dcos(a) + self.vx),
                               f32(self.vy - 10 * dsin(a)))
            dx = f32(pl.x - self.x)
            dy = f32(self.y - pl.y)
            d = flen(dx, dy)
            if d == 0:
                self.g.note('aim with the player on the centre')
                return            # player on our centre: no direction, keep aim
            ax, ay = f32(dx / d), f32(dy / d)
            h = f32(dacos(ax) / DEG)
            if math.isnan(h):
                self.g.note('aim heading not a number')
                return
            if ay < 0:
                h = -h
            self.aim_x, self.aim_y = ax, ay
            self.heading = h
            self.angle = h
        else:
            self.step = 0
            self.leg = self.base + (self.g.rand() * 50) // 32767
            if self.colour == 1:
                a = self.angle * DEG
                self.vx = f32(2 * dcos(a))
                self.vy = f32(-2 * dsin(a))

    def collide(self):
        g = self.g
        pl = g.player
        self.vx, self.vy = g.arena.bounce(self.x, self.y, self.vx, self.vy)
        # ship push
        dx = f32(pl.x - self.x)
        dy = f32(pl.y - self.y)
        d = flen(dx, dy)
        if d == 0:
            self.g.note('push with the player on the centre')
        if d < 40 and d != 0:
            self.g.note('push' if pl.alive() else 'push of the wreck')
            ux, uy = f32(dx / d), f32(dy / d)
            s = f32(dsqrt(f32(f32(self.vx * self.vx) + f32(self.vy * self.vy)))
                    + dsqrt(f32(f32(pl.vx * pl.vx) + f32(pl.vy * pl.vy))))
            self.vx = f32(f32(-ux * s) * 0.25)
            self.vy = f32(f32(-uy * s) * 0.25)
            pl.vx = f32(f32(ux * s) * 0.25)
            pl.vy = f32(f32(uy * s) * 0.25)
        # the player's photons against this ship
        pool = g.photons[0]
        i = 0
        while i < len(pool.p):
            px, py, wx, wy, _ = pool.p[i]
            if g.arena.test(px, py, wx, wy) != 0:
                pool.remove(i)
            else:
                ox = f32(px - self.x)
                oy = f32(py - self.y)
                e = flen(ox, oy)
                if e < 40:
                    self.g.note('photon hit' if self.alive() else 'photon hit on a dead enemy')
                    if e == 0:
                        self.g.note('photon on the centre')
                    if e != 0:
                        s = f32(dsqrt(f32(f32(self.vx * self.vx) + f32(self.vy * self.vy)))
                                + dsqrt(f32(f32(wx * wx) + f32(wy * wy))))
                        self.vx = f32(-f32(ox / e) * s)
                        self.vy = f32(-f32(oy / e) * s)
                    pool.remove(i)
                    self.damage(5)
            i += 1
        # our own photons against the player
        pool = self.pool
        i = 0
        while i < len(pool.p):
            px, py, wx, wy, _ = pool.p[i]
            if g.arena.test(px, py, wx, wy) != 0:
                pool.remove(i)
            elif dlen(f32(px - pl.x), f32(py - pl.y)) < 40:
                self.g.note(('player hit flying', 'player hit exploding', 'player hit respawning',
                             'player hit waiting')[pl.state])
                pool.remove(i)
                pl.damage(5)
            i += 1

    def move(self):
        if self.angle < 0:
            self.angle = f32(self.angle + 360)
        if self.angle > 360:
            self.angle = f32(self.angle - 360)
        self.x = f32(self.x + self.vx)
        self.y = f32(self.y + self.vy)
        if self.g.arena.test(self.x, self.y, 0.0, 0.0) == 3:
            self.g.note('enemy inside a wall cell')

    def damage(self, amount):
        self.health -= amount
        if self.health > 0:
            self.hit = True
        else:
            self.hit = False
            self.dying = True

    def draw(self):
        # only the animation state; no pixels here
        if not self.visible:
            return
        if self.hit:
            if self.frame > 3:
                self.frame = 0
                self.hit = False
            else:
                self.frame += 1
        elif self.dying:
            if self.frame >= 9:
                self.visible = False
            elif self.frame >= 4:
                self.frame += 1
            else:
                self.frame = 4


class Pickup:
    def __init__(self, game):
        self.g = game
        self.x = self.y = f32(0)
        self.amount = 20
        self.active = False
        self.counter = 0

    def update(self):
        if self.active:
            if self.x == -1500:
                rand = self.g.rand
                while True:
                    a = f32((rand() * 39 * 42) / 32767.0)
                    b = f32((rand() * 29 * 42) / 32767.0)
                    if self.g.arena.test(a, b, 0.0, 0.0) == 0:
                        break
                self.x, self.y = a, b
        else:
            self.x = self.y = f32(-1500)
            self.counter += 1
            if self.counter > 1000:
                self.counter = 0
                self.active = True


class Game:
    def __init__(self):
        self.rand = Rand()
        self.notes = {}
        self.view_x = self.view_y = f32(0)
        self.paused = True
        self.show_intro = True
        self.all_dead = False
        self.end_counter = 0
        self.arena = Arena(self.note)
        self.photons = [PhotonPool(self.rand, self.note) for _ in range(4)]   # player, b, g, y
        self.player = Player(self)
        self.enemies = [Enemy(self, c) for c in (1, 2, 3)]
        self.pickup = Pickup(self)
        self.frame = -1

    def note(self, what):
        """Counts rare paths taken, so that a key script can show what it covers."""
        self.notes[what] = self.notes.get(what, 0) + 1

    def run(self, keys):
        self.frame += 1
        pl = self.player
        en = self.enemies
        if self.paused:
            if self.show_intro and 'SPACE' in keys:
                self.paused = self.show_intro = False
            elif not self.show_intro and 'P' in keys:
                self.paused = False
        else:
            if 'P' in keys:
                self.paused = True
            if not self.all_dead and not any(e.alive() for e in en):
                self.all_dead = True
            if self.all_dead and self.end_counter < 200:
                self.end_counter += 1
            pl.step_state()
            if pl.alive():
                pl.controls(keys)
            for e in en:
                if e.alive():
                    e.think()
            if pl.alive():
                pl.bounce_walls()
            for e in en:
                if e.alive():
                    e.collide()
            if pl.alive():
                pl.move()
            for e in en:
                if e.alive():
                    e.move()
            self.photons[0].update()
            for e in en:
                if e.alive():
                    e.pool.update()
            pk = self.pickup
            pk.update()
            if dlen(f32(pl.x - pk.x), f32(pl.y - pk.y)) < 40:
                if pk.active:
                    self.note('pick-up collected' if pl.state == FLYING
                              else 'pick-up collected by the wreck')
                pk.active = False
                pl.health += pk.amount
        # drawing phase: only the enemies' animation state changes there
        for e in en:
            if e.alive() or e.dying:
                e.draw()

    def state_line(self):
        def fl(v):
            return '%.9g' % v

        def b(v):
            return 'true' if v else 'false'

        pl = self.player
        parts = ['{"frame":%d,"paused":%s,"showIntro":%s,"allEnemiesDead":%s,'
                 '"endCounter":%d,"viewX":%s,"viewY":%s,' % (
                     self.frame, b(self.paused), b(self.show_intro),
                     b(self.all_dead), self.end_counter, fl(self.view_x),
                     fl(self.view_y))]
        parts.append('"player":{"x":%s,"y":%s,"vx":%s,"vy":%s,"angle":%s,'
                     '"turnRate":%s,"health":%d,"state":%d,"frame":%d,'
                     '"visible":%s,"fireCounter":%d,"waitCounter":%d},' % (
                         fl(pl.x), fl(pl.y), fl(pl.vx), fl(pl.vy), fl(pl.angle),
                         fl(pl.turn), pl.health, pl.state, pl.frame,
                         b(pl.visible), pl.fire_counter, pl.wait_counter))
        es = []
        for e in self.enemies:
            es.append('{"colour":%d,"x":%s,"y":%s,"vx":%s,"vy":%s,"angle":%s,'
                      '"health":%d,"step":%d,"legLength":%d,"fireCounter":%d,'
                      '"hit":%s,"dying":%s,"visible":%s,"frame":%d}' % (
                          e.colour, fl(e.x), fl(e.y), fl(e.vx), fl(e.vy),
                          fl(e.angle), e.health, e.step, e.leg, e.fire_counter,
                          b(e.hit), b(e.dying), b(e.visible), e.frame))
        parts.append('"enemies":[%s],' % ','.join(es))
        ps = []
        for name, pool in zip(('player', 'blue', 'green', 'yellow'), self.photons):
            ps.append('"%s":[%s]' % (name, ','.join(
                '[%s,%s,%s,%s,%d]' % (fl(p[0]), fl(p[1]), fl(p[2]), fl(p[3]), p[4])
                for p in pool.p)))
        parts.append('"photons":{%s},' % ','.join(ps))
        pk = self.pickup
        parts.append('"pickup":{"x":%s,"y":%s,"active":%s,"counter":%d}}' % (
            fl(pk.x), fl(pk.y), b(pk.active), pk.counter))
        return ''.join(parts)


def read_script(path):
    """Key events by frame: {frame: [(down, key), ...]} in file order."""
    events = {}
    with open(path) as f:
        for n, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            fields = line.split()
            if len(fields) != 3 or fields[1] not in ('down', 'up') or fields[2] not in KEYS:
                raise SystemExit('%s:%d: bad line: %s' % (path, n, line))
            events.setdefault(int(fields[0]), []).append((fields[1] == 'down', fields[2]))
    return events


def play(events, frames, out):
    g = Game()
    held = set()
    for f in range(frames):
        for down, key in events.get(f, ()):
            if down:
                held.add(key)
            else:
                held.discard(key)
        g.run(held)
        out.write(g.state_line())
        out.write('\n')
    return g


# ---------------------------------------------------------------- the bot

# Corners around the two inner walls, used as waypoints when a wall stands
# between the ship and its target.
WAYPOINTS = [(441, 370), (441, 890), (1281, 370), (1281, 890)]


def line_clear(arena, x0, y0, x1, y1):
    n = int(max(abs(x1 - x0), abs(y1 - y0)) / 10) + 1
    for k in range(n + 1):
        t = k / n
        x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
        if arena.wall(int(x // CELL), int(y // CELL)):
            return False
    return True


def angle_diff(a, b):
    d = (a - b) % 360.0
    return d - 360.0 if d > 180.0 else d


class Bot:
    """A simple pilot: turns toward the nearest living enemy (or the placed
    pick-up when hurt), leading a moving target, thrusts when facing it and
    far, backs off when too close, fires most of the time (not at a target
    already flying fast, which a hit would only speed up), pauses at fixed
    frames and now and then flies up to an enemy and sits there unarmed
    until it is shot down."""

    # (first frame, frames P is held); holds of odd length leave the game paused
    PAUSES = [(400, 1), (430, 1), (1500, 5), (1540, 1), (2600, 4), (3300, 3), (3330, 1)]
    # frames from which the pilot idles until it has died once more
    IDLE_FROM = [700, 2900]
    HURT = 85          # health at or below which a placed pick-up is fetched
    NEAR, FAR = 110, 170
    FAST = 20          # target speed above which the pilot holds its fire

    def __init__(self):
        self.idle_idx = 0
        self.idling = False
        self.last_state = FLYING

    def keys(self, g, f):
        keys = set()
        if f == 0:
            return {'SPACE'}
        for start, hold in self.PAUSES:
            if start <= f < start + hold:
                keys.add('P')
        if g.paused:
            return keys
        pl = g.player
        if pl.state == EXPLODING and self.last_state != EXPLODING:
            self.idling = False
        self.last_state = pl.state
        if self.idle_idx < len(self.IDLE_FROM) and f >= self.IDLE_FROM[self.idle_idx]:
            self.idle_idx += 1
            self.idling = True
        if not pl.alive():
            return keys
        pk = g.pickup
        placed = pk.active and pk.x != -1500
        enemy = None
        best = None
        for e in g.enemies:
            if self.idling and e.colour == 3 and e.alive():
                enemy = e         # the fastest shooter kills quickest
                break
            if e.alive():
                d = math.hypot(e.x - pl.x, e.y - pl.y)
                speed = math.hypot(e.vx, e.vy)
                cost = d + 40 * max(0.0, speed - 6)
                if best is None or cost < best:
                    best, enemy = cost, e
        if placed and not self.idling and (pl.health <= self.HURT or enemy is None):
            tx, ty, mode = pk.x, pk.y, 'pickup'
        elif enemy is not None:
            tx, ty, mode = enemy.x, enemy.y, 'enemy'
            # lead the target by the photon's flight time
            for _ in range(3):
                t = math.hypot(tx - pl.x, ty - pl.y) / 20.0
                tx, ty = enemy.x + enemy.vx * t, enemy.y + enemy.vy * t
        else:
            # nothing left to fight: spin and fire, photons now leave the arena
            return keys | {'SPACE', 'LEFT'}
        goal = (tx, ty)
        detour = False
        if not line_clear(g.arena, pl.x, pl.y, tx, ty):
            way = None
            for wx, wy in WAYPOINTS:
                if line_clear(g.arena, pl.x, pl.y, wx, wy):
                    cost = math.hypot(wx - pl.x, wy - pl.y) + math.hypot(tx - wx, ty - wy)
                    if way is None or cost < way[0]:
                        way = (cost, (wx, wy))
            if way:
                goal = way[1]
                detour = True
        dx, dy = goal[0] - pl.x, goal[1] - pl.y
        dist = math.hypot(dx, dy)
        want = math.degrees(math.atan2(-dy, dx))
        diff = angle_diff(want, pl.angle)
        pred = diff - 4 * pl.turn      # the turn rate keeps turning after release
        if pred > 2:
            keys.add('LEFT')
        elif pred < -2:
            keys.add('RIGHT')
        near, far = (self.NEAR, self.FAR) if mode == 'enemy' else (0, 15)
        if self.idling:
            near, far = 0, 120
        if detour:
            near, far = 0, 30
        if abs(diff) < 30 and dist > far:
            keys.add('UP')
        elif dist < near and abs(diff) < 90:
            keys.add('DOWN')
        if mode == 'enemy' and not self.idling:
            if math.hypot(enemy.vx, enemy.vy) < self.FAST:
                keys.add('SPACE')
        return keys


def run_bot(frames, out_path):
    g = Game()
    bot = Bot()
    held = set()
    lines = ['# long fight played by the reference bot']
    events = []
    for f in range(frames):
        keys = bot.keys(g, f)
        for k in KEYS:
            if k in keys and k not in held:
                lines.append('%d down %s' % (f, k))
            elif k in held and k not in keys:
                lines.append('%d up %s' % (f, k))
        held = keys
        before = snapshot(g)
        g.run(held)
        log_events(f, before, snapshot(g), events)
    with open(out_path, 'w') as fo:
        fo.write('\n'.join(lines) + '\n')
    return events, g.notes


def snapshot(g):
    return (g.paused, g.player.state, g.player.health, g.pickup.active,
            g.pickup.x, [e.alive() for e in g.enemies], g.end_counter, g.pickup.y)


def log_events(f, a, b, events):
    """What a long fight shows, frame by frame, for the bot's summary."""
    if a[0] != b[0]:
        events.append((f, 'paused' if b[0] else 'resumed'))
    if a[1] != b[1]:
        events.append((f, 'player ' + ('flying', 'exploding', 'respawning', 'waiting')[b[1]]))
    if b[3] and a[4] == -1500 and b[4] != -1500:
        events.append((f, 'pick-up placed at (%.1f, %.1f)' % (b[4], b[7])))
    if a[3] and not b[3]:
        events.append((f, 'pick-up collected, health %d -> %d' % (a[2], b[2])))
    for name, was, now in zip(('blue', 'green', 'yellow'), a[5], b[5]):
        if was and not now:
            events.append((f, name + ' killed'))
    if a[6] < 200 <= b[6]:
        events.append((f, 'end picture'))


def main(argv):
    if len(argv) == 4 and argv[1] == '--bot':
        events, notes = run_bot(int(argv[2]), argv[3])
        for f, what in events:
            sys.stderr.write('%6d  %s\n' % (f, what))
        write_notes(notes)
        return 0
    notes = '--notes' in argv
    argv = [a for a in argv if a != '--notes']
    if len(argv) != 3:
        sys.stderr.write('usage: shooter_model.py SCRIPT FRAMES [--notes] | --bot FRAMES OUT.keys\n')
        return 2
    out = sys.stdout
    g = play(read_script(argv[1]), int(argv[2]), out)
    out.flush()
    if notes:
        write_notes(g.notes)
    return 0


def write_notes(notes):
    for what in sorted(notes):
        sys.stderr.write('%8d  %s\n' % (notes[what], what))


if __name__ == '__main__':
    sys.exit(main(sys.argv))
