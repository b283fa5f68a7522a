// Reads a session recording (JSON Lines, version 1) into frames, events and runs. Every fault is
// reported with its line number; a recording cut short is kept up to its last whole line and
// flagged, so the part that was written can still be watched.
//
// `arena replay` applies the same rules with the same messages (arena/record/recording_check.cpp)
// before it embeds a recording, so that a page it writes never refuses its recording; the
// recordings in tests/arena/broken_recordings.txt are put to both. A message therefore says only
// what both can say: the number of a value as it reads back, a text by its first 40 characters.

export const FORMAT = 'volanko-recording';
export const VERSION = 1;

const EVENT_TYPES = new Set(['takeoff', 'hit', 'landing', 'reset', 'level']);
const CONTACTS = new Set(['ground', 'wall', 'air']);

export class RecordingError extends Error {
    constructor(line, message) {
        super(line ? `line ${line}: ${message}` : message);
        this.line = line;
    }
}

function describe(value) {
    if (value === undefined) return 'missing';
    if (value === null) return 'null';
    if (Array.isArray(value)) return `an array of ${value.length}`;
    if (typeof value === 'object') return 'an object';
    if (typeof value === 'string') {
        const characters = [...value];
        return `the text ${JSON.stringify(characters.length > 40 ? characters.slice(0, 40).join('') + '…' : value)}`;
    }
    if (typeof value === 'number') return `the number ${value}`;
    return String(value);
}

// Blank as JSON counts it: spaces, tabs and carriage returns only.
const isBlank = (line) => /^[ \t\r]*$/.test(line);

// A seed is a whole number up to 2^64 - 1, more digits than a double holds: it is shown as the
// header writes it, the digits of its last top-level "seed" member, rather than as it parses.
function seedDigits(text, seed) {
    let digits = null;
    let depth = 0;
    const key = /[ \t\r]*:/y;
    const whole = /[ \t\r]*:[ \t\r]*(-?\d+)[ \t\r]*[,}]/y;
    for (let at = 0; at < text.length; ++at) {
        const c = text[at];
        if (c === '"') {
            const start = at;
            for (++at; text[at] !== '"'; ++at) if (text[at] === '\\') ++at;
            key.lastIndex = at + 1;
            if (depth === 1 && key.test(text) && JSON.parse(text.slice(start, at + 1)) === 'seed') {
                whole.lastIndex = at + 1;
                digits = whole.exec(text)?.[1] ?? null;
            }
        } else if (c === '{' || c === '[') {
            ++depth;
        } else if (c === '}' || c === ']') {
            --depth;
        }
    }
    return digits ?? String(seed);
}

// Checks one record's fields; `where` names the field in messages ("car.location").
class Fields {
    constructor(line, record) {
        this.line = line;
        this.record = record;
    }

    fail(where, wanted, value) {
        throw new RecordingError(this.line, `"${where}" should be ${wanted}, found ${describe(value)}`);
    }

    number(where, value = this.record[where]) {
        if (typeof value !== 'number' || !Number.isFinite(value)) this.fail(where, 'a finite number', value);
        return value;
    }

    text(where, value = this.record[where]) {
        if (typeof value !== 'string') this.fail(where, 'a text', value);
        return value;
    }

    numbers(where, count, value = this.record[where]) {
        const wanted = `an array of ${count} finite numbers`;
        if (!Array.isArray(value) || value.length !== count) this.fail(where, wanted, value);
        const bad = value.findIndex((n) => typeof n !== 'number' || !Number.isFinite(n));
        if (bad >= 0) throw new RecordingError(this.line, `"${where}" should be ${wanted}; its item ${bad + 1} is ${describe(value[bad])}`);
        return value;
    }

    size(where, value = this.record[where]) {
        const size = this.numbers(where, 2, value);
        if (!(size[0] > 0 && size[1] > 0)) this.fail(where, 'a width and a height above 0', value);
        return size;
    }

    object(where, value = this.record[where]) {
        if (typeof value !== 'object' || value === null || Array.isArray(value)) this.fail(where, 'an object', value);
        return value;
    }
}

function readHeader(text) {
    let header;
    try {
        header = JSON.parse(text);
    } catch {
        throw new RecordingError(1, 'this is not a Volanko recording: the first line is not a JSON header');
    }
    if (typeof header !== 'object' || header === null || header.format !== FORMAT) {
        throw new RecordingError(1, `this is not a Volanko recording: the header's "format" should be "${FORMAT}", found ${describe(header?.format)}`);
    }
    const f = new Fields(1, header);
    if (typeof header.version !== 'number') f.fail('version', `the number ${VERSION}`, header.version);
    if (header.version !== VERSION) {
        throw new RecordingError(1, `this recording is format version ${header.version}; this page reads version ${VERSION} only. Open it with the replay page of the Volanko that wrote it`);
    }
    const plugin = f.object('plugin');
    const fps = f.number('fps');
    if (!(fps >= 1)) f.fail('fps', 'at least 1', fps);
    const frameEvery = header.frameEvery === undefined ? 1 : f.number('frameEvery');
    return {
        seed: seedDigits(text, f.number('seed')),
        level: f.text('level'),
        plugin: { name: f.text('plugin.name', plugin.name), version: f.text('plugin.version', plugin.version) },
        fps,
        frameEvery,
        canvas: f.size('canvas'),
        session: typeof header.session === 'string' ? header.session : '',
    };
}

function readBody(f, body) {
    const location = f.numbers(`${body}.location`, 3, f.record[body]?.location);
    const rotation = f.numbers(`${body}.rotation`, 3, f.record[body]?.rotation);
    return { location, rotation };
}

function readDraws(f) {
    const draws = f.record.draws;
    if (!Array.isArray(draws)) f.fail('draws', 'an array', draws);
    return draws.map((draw, i) => {
        const where = `draws[${i}]`;
        f.object(where, draw);
        return {
            text: f.text(`${where}.text`, draw.text),
            position: f.numbers(`${where}.position`, 2, draw.position),
            color: f.numbers(`${where}.color`, 4, draw.color),
            scale: f.numbers(`${where}.scale`, 2, draw.scale),
        };
    });
}

// New texts for the previous frame's draws, which keep their places, colours and scales.
function readTexts(f, previous) {
    const texts = f.record.texts;
    const draws = previous ? previous.draws : [];
    if (!Array.isArray(texts) || texts.length !== draws.length) {
        f.fail('texts', `an array of ${draws.length} texts, one for each draw of the previous frame`, texts);
    }
    return draws.map((draw, i) => ({ ...draw, text: f.text(`texts[${i}]`, texts[i]) }));
}

function readFrame(f, previous, header) {
    f.object('car');
    f.object('ball');
    const car = readBody(f, 'car');
    const contact = f.record.car.contact;
    if (!CONTACTS.has(contact)) f.fail('car.contact', '"ground", "wall" or "air"', contact);
    car.contact = contact;
    const frame = f.number('frame');
    if (previous && !(frame > previous.frame)) f.fail('frame', `above the previous frame's ${previous.frame}`, frame);
    return {
        frame,
        time: f.number('time'),
        car,
        ball: readBody(f, 'ball'),
        draws: 'draws' in f.record ? readDraws(f) : 'texts' in f.record ? readTexts(f, previous) : previous ? previous.draws : [],
        canvas: 'canvas' in f.record ? f.size('canvas') : previous ? previous.canvas : header.canvas,
        line: f.line,
    };
}

function readEvent(f) {
    const type = f.record.type;
    const event = { type, time: f.number('time'), line: f.line };
    if (type === 'hit' || type === 'takeoff') event.location = f.numbers('location', 3);
    if (type === 'landing') {
        event.location = f.numbers('location', 3);
        event.contact = f.record.contact;
        if (event.contact !== 'ground' && event.contact !== 'wall') f.fail('contact', '"ground" or "wall"', event.contact);
    }
    if (type === 'reset') {
        event.location = f.numbers('location', 3);
        event.velocity = f.numbers('velocity', 3);
    }
    if (type === 'level') event.level = f.text('level');
    return event;
}

// A run lasts from a take-off to the next landing; one still in the air at the end runs to the
// last frame and is marked unfinished.
function collectRuns(frames, events) {
    const runs = [];
    let open = null;
    for (const event of events) {
        if (event.type === 'takeoff') {
            open = { start: event, hits: 0, end: null };
            runs.push(open);
        } else if (event.type === 'hit' && open) {
            open.hits += 1;
        } else if (event.type === 'landing' && open) {
            open.end = event;
            open = null;
        }
    }
    const last = frames[frames.length - 1];
    for (const run of runs) {
        run.finished = run.end !== null;
        run.endFrame = run.finished ? run.end.frameAfter : frames.length - 1;
        run.duration = (run.finished ? run.end.time : last.time) - run.start.time;
    }
    return runs;
}

// Parses the whole text. Throws RecordingError for anything that cannot be replayed; returns
// `warning` for a recording that stops early.
export function parseRecording(text) {
    if (text.charCodeAt(0) === 0xfeff) text = text.slice(1);
    const lines = text.split('\n');
    const endsWithNewline = lines[lines.length - 1] === '';
    if (endsWithNewline) lines.pop();
    if (lines.length === 0 || (lines.length === 1 && isBlank(lines[0]))) {
        throw new RecordingError(0, 'the recording is empty');
    }
    const header = readHeader(lines[0]);
    const frames = [];
    const events = [];
    let end = null;
    let warning = '';
    for (let i = 1; i < lines.length; ++i) {
        const number = i + 1;
        const source = lines[i];
        if (isBlank(source)) continue;
        let record;
        try {
            record = JSON.parse(source);
        } catch {
            if (i === lines.length - 1 && !endsWithNewline) {
                warning = `line ${number} is cut short (the recording stops in the middle of a record); showing the ${frames.length} frames before it`;
                break;
            }
            throw new RecordingError(number, 'not a JSON record');
        }
        const f = new Fields(number, record);
        f.object('record', record);
        if (end) throw new RecordingError(number, `a record after the "end" record of line ${end.line}`);
        const type = f.text('type');
        if (type === 'frame') {
            frames.push(readFrame(f, frames[frames.length - 1], header));
        } else if (EVENT_TYPES.has(type)) {
            const event = readEvent(f);
            event.frameBefore = frames.length - 1;
            events.push(event);
        } else if (type === 'end') {
            end = { time: f.number('time'), frames: f.number('frames'), line: number };
        }
        // Any other type comes from a newer writer and is skipped.
    }
    if (frames.length === 0) {
        throw new RecordingError(lines.length, 'the recording holds no frame to show');
    }
    if (!end && !warning) {
        warning = `the recording has no "end" record: the session stopped before it finished writing; showing the ${frames.length} frames it holds`;
    }
    for (const event of events) {
        event.frameAfter = Math.min(event.frameBefore + 1, frames.length - 1);
    }
    return { header, frames, events, runs: collectRuns(frames, events), warning };
}
