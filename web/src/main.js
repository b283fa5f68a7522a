// The replay page: finds a recording (embedded, ?file=, picked or dropped), plays it, and keeps
// `window.replay` up to date for anyone who wants to read the page's state (the browser tests do).

import './style.css';
import { Quaternion } from 'three';
import { parseRecording, RecordingError } from './recording.js';
import { Scene, orientation } from './scene.js';
import { Hud } from './hud.js';
import { Timeline } from './timeline.js';
import { RunsPlot } from './runs-plot.js';

const TRAIL_SECONDS = 3;
const SPEEDS = [0.25, 0.5, 1, 2, 4];
const $ = (id) => document.getElementById(id);

const view = $('view');
const hud = new Hud($('hud'));
let scene = null;
try {
    scene = new Scene($('scene'));
} catch (error) {
    showMessage('error', 'This browser cannot draw the 3D view (WebGL is not available)', String(error.message || error));
}

let recording = null;
let breaks = []; // per frame index: the first frame of its stretch without a reset in between
let index = 0; // the frame shown, or the one before the playhead while playing
let position = 0; // the playhead, as a drawn-frame number
let playing = false;
let speed = 1;

const state = {
    status: 'empty', // 'empty', 'loading', 'ready' or 'error'
    message: '',
    warning: '',
    source: '',
    frameIndex: 0,
    frameCount: 0,
    frame: 0,
    time: 0,
    playing: false,
    speed: 1,
    follow: false,
    level: '',
    car: null,
    ball: null,
    hud: [],
    events: [],
    runs: [],
    seekIndex,
    seekEvent,
    step,
    play,
    pause,
    setSpeed,
    eventX: (i) => timeline.eventX(i) + $('timeline').getBoundingClientRect().left,
};
window.replay = state;

function showMessage(kind, title, detail) {
    const box = $('message');
    box.className = kind;
    box.hidden = false;
    box.querySelector('.title').textContent = title;
    box.querySelector('.detail').textContent = detail;
}

function hideMessage() {
    $('message').hidden = true;
}

function fail(source, error) {
    state.status = 'error';
    state.message = error.message;
    state.source = source;
    showMessage('error', `Cannot replay ${source}`, error.message);
}

function load(text, source) {
    let parsed;
    try {
        parsed = parseRecording(text);
    } catch (error) {
        if (!(error instanceof RecordingError)) console.error(error);
        // Nothing of a recording opened before stays on screen under the message.
        recording = null;
        pause();
        document.body.classList.remove('loaded');
        $('info').textContent = 'no recording open';
        for (const id of ['readout', 'level', 'contact']) $(id).textContent = '';
        hud.show([], [1, 1], 1, 1);
        scene?.hideBodies();
        timeline.clear();
        plot.clear();
        fail(source, error);
        return;
    }
    recording = parsed;
    const { header, frames, events } = recording;
    breaks = [];
    const resetAfter = new Set(events.filter((e) => e.type === 'reset' || e.type === 'hit').map((e) => e.frameBefore));
    frames.forEach((_, i) => breaks.push(i > 0 && !resetAfter.has(i - 1) ? breaks[i - 1] : i));
    Object.assign(state, {
        status: 'ready',
        message: '',
        warning: recording.warning,
        source,
        frameCount: frames.length,
        events: events.map(({ type, time, frameBefore, frameAfter, location, level }) => ({ type, time, frameBefore, frameAfter, location, level })),
        runs: recording.runs.map((r) => ({ hits: r.hits, duration: r.duration, finished: r.finished })),
    });
    if (recording.warning) showMessage('warning', `${source} is incomplete`, recording.warning);
    else if (scene) hideMessage();
    document.body.classList.add('loaded');
    $('info').textContent = [
        `${header.plugin.name} ${header.plugin.version}`,
        header.session && `arena ${header.session}`,
        `seed ${header.seed}`,
        `${header.fps} fps`,
        `${recording.runs.length} runs`,
        `${events.filter((e) => e.type === 'hit').length} hits`,
    ]
        .filter(Boolean)
        .join(' · ');
    document.title = `${source} · Volanko replay`;
    timeline.load(recording);
    plot.load(recording.runs);
    layout();
    pause();
    seekIndex(0);
}

function levelAt(i) {
    let level = recording.header.level;
    for (const e of recording.events) if (e.type === 'level' && e.frameBefore < i) level = e.level;
    return level;
}

const mix = (a, b, u) => a.map((x, i) => x + (b[i] - x) * u);

// The trail of one body: segments between recorded frames of the last few seconds, back to the
// latest reset, ending at the point shown now.
function trail(body, now, nowLocation) {
    const frames = recording.frames;
    const window = TRAIL_SECONDS * recording.header.fps;
    const segments = [];
    let newer = nowLocation;
    for (let j = index; j >= breaks[index] && now - frames[j].frame < window; --j) {
        const older = frames[j][body].location;
        segments.push([older, newer, (now - frames[j].frame) / window]);
        newer = older;
    }
    return segments;
}

function show() {
    const { frames, events } = recording;
    const f0 = frames[index];
    const f1 = frames[index + 1];
    // Between two recorded frames the bodies glide, unless an event (a reset, a hit) lies between
    // them: then the earlier frame holds until the later one is reached.
    let u = 0;
    if (playing && f1 && position > f0.frame && !events.some((e) => e.frameBefore === index)) {
        u = Math.min(1, (position - f0.frame) / (f1.frame - f0.frame));
    }
    const body = (name) => {
        const a = f0[name];
        if (u === 0) return { location: a.location, quaternion: orientation(a.rotation) };
        const b = f1[name];
        return { location: mix(a.location, b.location, u), quaternion: orientation(a.rotation).slerp(orientation(b.rotation), u) };
    };
    const car = body('car');
    const ball = body('ball');
    const now = Math.max(position, f0.frame);
    if (scene) scene.show({ car, ball, carTrail: trail('car', now, car.location), ballTrail: trail('ball', now, ball.location) });
    hud.show(f0.draws, f0.canvas, view.clientWidth, view.clientHeight);
    timeline.setPosition(index, now);
    Object.assign(state, {
        frameIndex: index,
        frame: f0.frame,
        time: f0.time,
        playing,
        speed,
        level: levelAt(index),
        car: { location: [...car.location], rotation: [...f0.car.rotation], contact: f0.car.contact },
        ball: { location: [...ball.location], rotation: [...f0.ball.rotation] },
        hud: hud.texts(),
    });
    $('readout').textContent = `${f0.time.toFixed(2)} s · frame ${f0.frame} · ${index + 1}/${frames.length}`;
    $('level').textContent = `level ${state.level}`;
    $('contact').textContent = `car: ${f0.car.contact === 'air' ? 'in the air' : `on the ${f0.car.contact}`}`;
}

function seekIndex(i) {
    if (!recording) return;
    index = Math.max(0, Math.min(recording.frames.length - 1, Math.round(i)));
    position = recording.frames[index].frame;
    show();
}

function seekFrame(frame) {
    if (!recording) return;
    const frames = recording.frames;
    let lo = 0;
    let hi = frames.length - 1;
    while (lo < hi) {
        const mid = (lo + hi + 1) >> 1;
        if (frames[mid].frame <= frame) lo = mid;
        else hi = mid - 1;
    }
    seekIndex(lo);
}

// Shows the world as it was when the event happened: the last frame recorded before it.
function seekEvent(i) {
    if (!recording || !recording.events[i]) return;
    pause();
    seekIndex(Math.max(0, recording.events[i].frameBefore));
}

function step(n) {
    pause();
    seekIndex(index + n);
}

function play() {
    if (!recording) return;
    if (index >= recording.frames.length - 1) seekIndex(0);
    playing = true;
    document.body.classList.add('playing');
    $('play').title = 'Pause (space)';
    show();
}

function pause() {
    playing = false;
    document.body.classList.remove('playing');
    $('play').title = 'Play (space)';
    if (recording) seekIndex(index);
}

function setSpeed(value) {
    speed = SPEEDS.includes(Number(value)) ? Number(value) : 1;
    $('speed').value = String(speed);
    state.speed = speed;
}

function advance(seconds) {
    const frames = recording.frames;
    position += seconds * recording.header.fps * speed;
    while (index + 1 < frames.length && frames[index + 1].frame <= position) ++index;
    if (index === frames.length - 1) {
        pause();
        return;
    }
    show();
}

const timeline = new Timeline($('timeline'), (frame) => (pause(), seekFrame(frame)), seekEvent);
const plot = new RunsPlot($('plot'), (run) => seekEvent(recording.events.indexOf(recording.runs[run].start)));

function layout() {
    const width = view.clientWidth;
    const height = view.clientHeight;
    scene?.resize(width, height);
    timeline.draw();
    plot.resize();
    if (recording) show();
}

let lastTick = performance.now();
function tick(now) {
    const seconds = Math.min(0.25, (now - lastTick) / 1000);
    lastTick = now;
    if (recording && playing) advance(seconds);
    scene?.render();
    requestAnimationFrame(tick);
}

async function readFile(file) {
    state.status = 'loading';
    try {
        load(await file.text(), file.name);
    } catch (error) {
        fail(file.name, error);
    }
}

async function fetchRecording(name) {
    state.status = 'loading';
    try {
        const response = await fetch(new URL(name, location.href));
        if (!response.ok) throw new Error(`the server answered ${response.status} ${response.statusText}`);
        load(await response.text(), name);
    } catch (error) {
        const hint = location.protocol === 'file:' ? ' (a page opened from disk cannot fetch files: serve the folder, or open the recording with the button or by dropping it here)' : '';
        fail(name, new Error(`could not fetch it: ${error.message}${hint}`));
    }
}

// The recording `arena replay` put into the page, if any: the marker left in place means none.
function embedded() {
    const text = $('recording')?.textContent ?? '';
    return text.trim() === '' || text.trimStart().startsWith('<!--') ? null : text.replace(/^\n/, '');
}

$('play').addEventListener('click', () => (playing ? pause() : play()));
$('back').addEventListener('click', () => step(-1));
$('forward').addEventListener('click', () => step(1));
$('speed').addEventListener('change', (e) => setSpeed(e.target.value));
$('follow').addEventListener('change', (e) => {
    state.follow = e.target.checked;
    if (!scene) return;
    if (e.target.checked) scene.startFollowing();
    else scene.follow = false;
});
$('overview').addEventListener('click', () => {
    $('follow').checked = false;
    state.follow = false;
    scene?.overview();
});
$('file').addEventListener('change', (e) => e.target.files[0] && readFile(e.target.files[0]));
$('open').addEventListener('click', () => $('file').click());
$('message').querySelector('.close').addEventListener('click', hideMessage);

window.addEventListener('keydown', (e) => {
    if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
    const keys = {
        ' ': () => (playing ? pause() : play()),
        ArrowLeft: () => step(-1),
        ArrowRight: () => step(1),
        '[': () => setSpeed(SPEEDS[Math.max(0, SPEEDS.indexOf(speed) - 1)]),
        ']': () => setSpeed(SPEEDS[Math.min(SPEEDS.length - 1, SPEEDS.indexOf(speed) + 1)]),
        f: () => $('follow').click(),
        o: () => $('overview').click(),
    };
    if (keys[e.key]) {
        e.preventDefault();
        keys[e.key]();
    }
});

// Dropping a file anywhere on the page opens it.
let dragDepth = 0;
window.addEventListener('dragenter', (e) => {
    e.preventDefault();
    if (++dragDepth === 1) document.body.classList.add('dragging');
});
window.addEventListener('dragleave', () => {
    if (--dragDepth === 0) document.body.classList.remove('dragging');
});
window.addEventListener('dragover', (e) => e.preventDefault());
window.addEventListener('drop', (e) => {
    e.preventDefault();
    dragDepth = 0;
    document.body.classList.remove('dragging');
    const file = e.dataTransfer?.files?.[0];
    if (file) readFile(file);
});

new ResizeObserver(layout).observe(view);
layout();
requestAnimationFrame(tick);

const inside = embedded();
const named = new URLSearchParams(location.search).get('file');
if (inside !== null) load(inside, 'the embedded recording');
else if (named) fetchRecording(named);
