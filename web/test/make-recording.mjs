// Writes a plausible recording of a `play` session for the page's tests, until the arena writes
// real ones: a car thrown at a held ball, hits, landings with the "Failed!" banner, a level change,
// the plug-in's four HUD lines every frame. It thins frames exactly as docs/recording.md says, so
// it doubles as the reference writer.
//
//   node test/make-recording.mjs OUT.jsonl [--seconds S] [--seed N]

import { writeFileSync } from 'node:fs';

const FPS = 120;
const FRAME_EVERY = 6;
const CANVAS = [1920, 1080];
const GRAVITY = -650;
const TURN = 65536;

function random(seed) {
    let a = seed >>> 0;
    return () => {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = Math.imul(a ^ (a >>> 15), 1 | a);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

const round = (v) => v.map((x) => Math.round(x * 100) / 100);
const wrap = (a) => ((((Math.round(a) + 32768) % TURN) + TURN) % TURN) - 32768;
const f6 = (x) => Math.fround(x).toFixed(6);
// The shortest text that reads back as the same single-precision float, as the arena writes times.
const float = (x) => {
    const f = Math.fround(x);
    for (let p = 1; p < 9; ++p) if (Math.fround(Number(f.toPrecision(p))) === f) return Number(f.toPrecision(p));
    return f;
};

// Writes frames only where the replay needs them: see "Thinning" in docs/recording.md.
class Writer {
    constructor(header) {
        this.lines = [JSON.stringify(header)];
        this.pending = null;
        this.last = null;
        this.eventSince = false;
        this.canvas = header.canvas;
    }

    event(record) {
        this.flushPending();
        this.lines.push(JSON.stringify(record));
        this.eventSince = true;
    }

    frame(f) {
        const last = this.last;
        const layout = (d) => JSON.stringify(d.map(({ position, color, scale }) => [position, color, scale]));
        const due =
            !last ||
            f.frame % FRAME_EVERY === 0 ||
            this.eventSince ||
            f.car.contact !== last.car.contact ||
            layout(f.draws) !== layout(last.draws) ||
            String(f.canvas) !== String(this.canvas);
        if (due) this.write(f);
        else this.pending = f;
    }

    flushPending() {
        if (this.pending) this.write(this.pending);
    }

    write(f) {
        const record = { type: 'frame', time: f.time, frame: f.frame, car: f.car, ball: f.ball };
        const last = this.last;
        if (!last || JSON.stringify(f.draws) !== JSON.stringify(last.draws)) {
            const sameLayout = last && f.draws.length === last.draws.length &&
                f.draws.every((d, i) => JSON.stringify({ ...d, text: '' }) === JSON.stringify({ ...last.draws[i], text: '' }));
            if (sameLayout) record.texts = f.draws.map((d) => d.text);
            else record.draws = f.draws;
        }
        if (String(f.canvas) !== String(this.canvas)) record.canvas = this.canvas = f.canvas;
        this.lines.push(JSON.stringify(record));
        this.last = f;
        this.pending = null;
        this.eventSince = false;
    }

    end(time, frames) {
        this.flushPending();
        this.lines.push(JSON.stringify({ type: 'end', time, frames }));
        return this.lines.join('\n') + '\n';
    }
}

function hud(w, h, now, drill) {
    const white = [255, 255, 255, 255];
    const cx = Math.trunc(w / 2);
    const line = (x, y, text) => ({ text, position: [x, y], color: white, scale: [1, 1] });
    const draws = [
        line(cx - 100, h - 30, `Current Time: ${f6(now - drill.lastReset)}`),
        line(cx + 100, h - 60, `Current Streak: ${drill.streak}`),
        line(cx + 100, h - 30, `Best Streak: ${drill.best}`),
        line(cx - 100, h - 60, `Average Time: ${f6(drill.average)}`),
    ];
    if (drill.failedUntil > now) {
        draws.push({ text: 'Failed!', position: [cx - 120, Math.trunc(h / 2) - 50], color: [255, 0, 0, 255], scale: [5, 5] });
    }
    return draws;
}

export function makeRecording({ seconds = 40, seed = 7 } = {}) {
    const rand = random(seed);
    const between = (a, b) => a + (b - a) * rand();
    let level = 'normal';
    const writer = new Writer({
        format: 'volanko-recording', version: 1, seed, level, session: 'play',
        plugin: { name: 'Volanko', version: '1.0' }, fps: FPS, frameEvery: FRAME_EVERY, canvas: CANVAS,
    });
    const car = { p: [0, -4608, 17], v: [0, 0, 0], rot: [0, 16384, 0], contact: 'ground' };
    const ball = { target: [0, 0, 0], rot: [0, 0, 0], spin: [300, 500, 200] };
    const drill = { lastReset: 0, average: 0, streak: 0, best: 0, failedUntil: 0, airborne: false };
    let canvas = CANVAS;
    let skill = 0.7; // chance that a throw is caught
    let jumpAt = 0.6;
    const held = () => [
        Math.min(4000, Math.max(-4000, ball.target[0])),
        Math.min(5000, Math.max(-5000, ball.target[1])),
        Math.min(1900, Math.max(100, ball.target[2])),
    ];

    const reset = (now) => {
        if (drill.lastReset !== 0) drill.average = (drill.streak * drill.average + (now - drill.lastReset)) / (drill.streak + 1);
        drill.lastReset = now;
        ball.target = [between(-4000, 4000), between(-3500, 3500), between(100, 1900)];
        const start = [between(-3000, 3000), between(-2500, 2500), between(1000, 1900)];
        for (const i of [0, 1]) if (Math.sign(start[i]) === Math.sign(ball.target[i])) start[i] = -start[i];
        const d = ball.target.map((t, i) => t - start[i]);
        const length = Math.hypot(...d);
        const dir = d.map((x) => x / length);
        dir[2] = Math.max(0, dir[2]);
        const added = dir.map((x) => x * 1000);
        car.p = start;
        car.v = added;
        car.rot = level === 'hard' ? [...ball.rot] : level === 'normal' ? [0, ball.rot[1], ball.rot[2]] : [0, ball.rot[1], 0];
        car.willHit = rand() < skill;
        writer.event({ type: 'reset', time: now, location: round(start), velocity: round(added) });
    };

    const frames = Math.round(seconds * FPS);
    for (let n = 0; n < frames; ++n) {
        const now = float(n / FPS);
        const dt = 1 / FPS;
        if (n === Math.round(FPS * seconds * 0.45)) {
            level = 'hard';
            writer.event({ type: 'level', time: now, level });
        }
        if (n === Math.round(FPS * seconds * 0.7)) canvas = [1280, 720];
        // The player: jumps when it is time, then boosts and steers at the ball or, on a miss, past it.
        if (car.contact === 'ground' && now >= jumpAt) {
            car.v = [car.v[0], car.v[1], 291.67];
            car.p[2] += 2;
        }
        if (car.contact === 'wall') {
            // Drives down the wall to the ground.
            car.v = [0, 0, -600];
        } else if (car.p[2] > 17) {
            const aim = held().map((t, i) => t - car.p[i] + (car.willHit ? 0 : [500, -400, 300][i]));
            const length = Math.hypot(...aim) || 1;
            const speed = Math.min(2300, Math.hypot(...car.v) + 1058 * dt);
            const turn = Math.min(1, 2.5 * dt);
            const heading = car.v.map((x, i) => (1 - turn) * x / (Math.hypot(...car.v) || 1) + turn * aim[i] / length);
            const h = Math.hypot(...heading) || 1;
            car.v = heading.map((x) => (x / h) * speed);
            if (!car.willHit) car.v[2] += GRAVITY * dt * 2 * Math.min(1, (now - drill.lastReset) / 2);
            car.rot = [wrap(Math.atan2(car.v[2], Math.hypot(car.v[0], car.v[1])) * TURN / (2 * Math.PI)),
                wrap(Math.atan2(car.v[1], car.v[0]) * TURN / (2 * Math.PI)), wrap(car.rot[2] * 0.98)];
        }
        car.p = car.p.map((x, i) => x + car.v[i] * dt);
        car.p[0] = Math.max(-4079, Math.min(4079, car.p[0]));
        car.p[1] = Math.max(-5103, Math.min(5103, car.p[1]));
        car.p[2] = Math.min(2027, car.p[2]);
        const onWall = Math.abs(car.p[0]) >= 4079 || Math.abs(car.p[1]) >= 5103;
        if (car.p[2] <= 17) {
            car.p[2] = 17;
            car.v = [0, 0, 0];
            car.rot = [0, car.rot[1], 0];
            // Drives clear of the walls while it waits to jump.
            car.p[0] = Math.max(-3900, Math.min(3900, car.p[0]));
            car.p[1] = Math.max(-4900, Math.min(4900, car.p[1]));
        }
        car.contact = car.p[2] <= 17 ? 'ground' : onWall ? 'wall' : 'air';
        ball.rot = ball.rot.map((r, i) => wrap(r + ball.spin[i] * dt * 10));
        const target = held();
        if (drill.airborne && Math.hypot(...target.map((t, i) => t - car.p[i])) <= 151.25) {
            writer.event({ type: 'hit', time: now, location: round(target) });
            reset(now);
            drill.streak += 1;
            drill.best = Math.max(drill.best, drill.streak);
        }
        // The plug-in's frame step, then what it draws.
        if (car.contact === 'air' && !drill.airborne) {
            writer.event({ type: 'takeoff', time: now, location: round(car.p) });
            drill.airborne = true;
            drill.average = 0;
            drill.streak = 0;
            reset(now);
        } else if (car.contact !== 'air' && drill.airborne) {
            writer.event({ type: 'landing', time: now, location: round(car.p), contact: car.contact });
            drill.failedUntil = now + 2;
            drill.airborne = false;
            jumpAt = now + between(2.5, 4);
            skill = Math.max(0.35, skill - 0.05);
        }
        writer.frame({
            frame: n, time: now, canvas,
            car: { location: round(car.p), rotation: car.rot, contact: car.contact },
            ball: { location: round(held()), rotation: [...ball.rot] },
            draws: hud(canvas[0], canvas[1], now, drill),
        });
    }
    return writer.end(float((frames - 1) / FPS), frames);
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split('/').pop())) {
    const args = process.argv.slice(2);
    const option = (name, fallback) => {
        const i = args.indexOf(name);
        return i >= 0 ? Number(args[i + 1]) : fallback;
    };
    if (!args[0] || args[0].startsWith('--')) {
        console.error('usage: make-recording.mjs OUT.jsonl [--seconds S] [--seed N]');
        process.exit(2);
    }
    writeFileSync(args[0], makeRecording({ seconds: option('--seconds', 40), seed: option('--seed', 7) }));
}
