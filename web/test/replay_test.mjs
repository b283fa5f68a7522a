// The built page in Debian's Chromium: what it shows against what the recording holds. The
// recording is a scripted arena session with a known seed, embedded by `arena replay`.
// Run after `npm run build` and the arena's build (ARENA names another arena program); screenshots
// go to test-output/.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { launch } from './browser.mjs';

const here = new URL('..', import.meta.url).pathname;
const out = `${here}test-output/`;
const built = `${here}dist/replay.html`;
const ARENA = process.env.ARENA || `${here}../build/default/bin/arena`;

const arena = (...args) => execFileSync(ARENA, args, { stdio: ['ignore', 'pipe', 'inherit'] });

// Writes `name`.jsonl.html, the built page with the recording `name`.jsonl inside, as a user would.
function embed(name) {
    arena('replay', '--page', built, `${out}${name}.jsonl`);
    return `${out}${name}.jsonl.html`;
}

// The recording read line by line, without the page's parser: frames with their resolved draws,
// and events with the index of the frame recorded before them. The lines and controls that
// replay the session are no events.
function read(text) {
    const frames = [];
    const events = [];
    for (const line of text.trim().split('\n').slice(1).map((l) => JSON.parse(l))) {
        if (line.type === 'frame') {
            const previous = frames.at(-1)?.draws ?? [];
            const draws = line.draws ?? (line.texts ? previous.map((d, i) => ({ ...d, text: line.texts[i] })) : previous);
            frames.push({ ...line, draws });
        } else if (['takeoff', 'hit', 'landing', 'reset', 'level'].includes(line.type)) {
            events.push({ ...line, frameBefore: frames.length - 1 });
        }
    }
    return { frames, events };
}

let context;
let page;
let session;
let recording;
let text;

async function open(url) {
    await page.goto(url);
    await page.waitForFunction(() => ['ready', 'error'].includes(window.replay?.status));
    return page.evaluate(() => ({ status: replay.status, message: replay.message, warning: replay.warning }));
}

// Resolves once the page has drawn `count` more animation frames: the moments at which it moves a
// playing replay on and redraws its view.
const animationFrames = (count) =>
    page.evaluate((count) => new Promise((resolve) => {
        const step = (left) => (left === 0 ? resolve() : requestAnimationFrame(() => step(left - 1)));
        step(count);
    }), count);

const hudOnPage = () => page.$$eval('#hud .draw', (divs) => divs.map((d) => ({ text: d.textContent, left: parseFloat(d.style.left), top: parseFloat(d.style.top), color: d.style.color, size: parseFloat(d.style.fontSize) })));

before(async () => {
    assert.ok(existsSync(ARENA), `${ARENA} is missing: build the arena (cmake --preset default && cmake --build --preset default) or set ARENA`);
    mkdirSync(out, { recursive: true });
    // --force: the recording of the run before is replaced.
    arena('--seed', '7', '--no-config', '--force', 'script', '--record', `${out}session.jsonl`, `${here}test/session.txt`);
    text = readFileSync(`${out}session.jsonl`, 'utf8');
    session = embed('session');
    recording = read(text);
    context = await launch();
    page = await context.newPage();
});

after(async () => context?.close());

test('the HUD shows exactly the draws recorded at chosen frames, placed by the canvas scaled to the view', async () => {
    assert.equal((await open(`file://${session}`)).status, 'ready');
    const { frames } = recording;
    const banner = frames.findIndex((f) => f.draws.some((d) => d.text === 'Failed!'));
    const resized = frames.findIndex((f) => f.canvas);
    const thinned = frames.findIndex((f) => f.texts);
    assert.ok(banner > 0 && resized > 0 && thinned > 0, 'the recording lacks a banner, a canvas change or a texts-only frame');
    const view = await page.$eval('#view', (v) => [v.clientWidth, v.clientHeight]);
    for (const i of [0, thinned, banner, resized, frames.length - 1]) {
        await page.evaluate((i) => replay.seekIndex(i), i);
        const shown = await hudOnPage();
        const drawn = frames[i].draws;
        assert.deepEqual(shown.map((d) => d.text), drawn.map((d) => d.text), `frame index ${i}`);
        const canvas = frames.slice(0, i + 1).findLast((f) => f.canvas)?.canvas ?? [1920, 1080];
        drawn.forEach((d, k) => {
            assert.ok(Math.abs(shown[k].left - (d.position[0] * view[0]) / canvas[0]) < 0.01, `x of "${d.text}"`);
            assert.ok(Math.abs(shown[k].top - (d.position[1] * view[1]) / canvas[1]) < 0.01, `y of "${d.text}"`);
            assert.equal(shown[k].color, d.color[0] === 255 && d.color[1] === 0 ? 'rgb(255, 0, 0)' : 'rgb(255, 255, 255)');
        });
        if (i === banner) assert.equal(shown.at(-1).size, shown[0].size * 5, 'the banner is drawn at five times the size');
    }
    await page.click('#forward');
    assert.deepEqual(await page.evaluate(() => [replay.frameIndex, replay.hud]), [frames.length - 1, frames.at(-1).draws.map((d) => d.text)]);
    await page.click('#back');
    assert.deepEqual(await page.evaluate(() => [replay.frameIndex, replay.hud]), [frames.length - 2, frames.at(-2).draws.map((d) => d.text)]);
});

test('clicking a hit on the timeline shows the ball where it was hit', async () => {
    await open(`file://${session}`);
    const events = await page.evaluate(() => replay.events);
    const hits = recording.events.map((e, i) => [e, i]).filter(([e]) => e.type === 'hit');
    assert.ok(hits.length >= 3);
    const box = await page.$eval('#timeline', (t) => t.getBoundingClientRect().toJSON());
    for (const [hit, i] of hits) {
        assert.equal(events[i].frameBefore, hit.frameBefore);
        await page.evaluate(() => replay.seekIndex(0));
        await page.mouse.click(await page.evaluate((i) => replay.eventX(i), i), box.y + box.height / 2);
        const state = await page.evaluate(() => ({ index: replay.frameIndex, ball: replay.ball.location }));
        assert.equal(state.index, hit.frameBefore);
        state.ball.forEach((v, k) => assert.ok(Math.abs(v - hit.location[k]) < 0.5, `ball ${state.ball} hit at ${hit.location}`));
        // One frame on, the reset that came with the hit has moved the car.
        const reset = recording.events.find((e) => e.type === 'reset' && e.time === hit.time);
        await page.click('#forward');
        assert.deepEqual(await page.evaluate(() => replay.car.location), reset.location);
    }
});

test('playing moves through the frames at the chosen speed and pausing stops it', async () => {
    await open(`file://${session}`);
    await page.selectOption('#speed', '4');
    await page.click('#play');
    await page.waitForFunction(() => replay.frameIndex > 20);
    await page.click('#play');
    const paused = await page.evaluate(() => [replay.playing, replay.speed, replay.frameIndex]);
    assert.deepEqual(paused.slice(0, 2), [false, 4]);
    await animationFrames(20);
    assert.equal(await page.evaluate(() => replay.frameIndex), paused[2]);
});

test('the 3D view is drawn at three moments, screenshots saved', async () => {
    await open(`file://${session}`);
    const { frames, events } = recording;
    const hit = events.filter((e) => e.type === 'hit')[2];
    const banner = frames.findIndex((f) => f.draws.some((d) => d.text === 'Failed!'));
    for (const [name, index, follow] of [['start', 0, false], ['hit', hit.frameBefore, true], ['failed', banner + 20, false]]) {
        await page.click(follow ? '#follow' : '#overview');
        await page.evaluate((i) => replay.seekIndex(i), index);
        // Pixels of the WebGL canvas itself: a blank or single-colour view has no spread. Looked at
        // frame by frame until the view shows, for at most ten seconds.
        const viewSpread = () => page.evaluate(() => {
            const source = document.getElementById('scene');
            const copy = Object.assign(document.createElement('canvas'), { width: 320, height: 160 });
            const g = copy.getContext('2d');
            g.drawImage(source, 0, 0, copy.width, copy.height);
            const data = g.getImageData(0, 0, copy.width, copy.height).data;
            const colours = new Set();
            let sum = 0;
            let squares = 0;
            for (let i = 0; i < data.length; i += 4) {
                const grey = (data[i] + data[i + 1] + data[i + 2]) / 3;
                sum += grey;
                squares += grey * grey;
                colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
            }
            const n = data.length / 4;
            return { colours: colours.size, deviation: Math.sqrt(squares / n - (sum / n) ** 2) };
        });
        const shows = ({ colours, deviation }) => colours > 200 && deviation > 15;
        await animationFrames(2); // the view drawn at the new moment
        let spread = await viewSpread();
        for (const until = Date.now() + 10000; !shows(spread) && Date.now() < until; spread = await viewSpread()) {
            await animationFrames(1);
        }
        assert.ok(shows(spread), `${name}: the view looks blank (${JSON.stringify(spread)})`);
        await page.screenshot({ path: `${out}replay-${name}.png` });
    }
});

test('a malformed recording gets a message naming the line and the fault', async () => {
    const lines = text.split('\n');
    const at = lines.findIndex((l) => l.includes('"type":"frame"')); // the first frame's index
    const frame = JSON.parse(lines[at]);
    const cases = [
        ['garbage.jsonl', [...lines.slice(0, at), '{"type":"frame",', ...lines.slice(at + 1)], new RegExp(`^line ${at + 1}: not a JSON record`)],
        ['short.jsonl', [...lines.slice(0, at), JSON.stringify({ ...frame, car: { ...frame.car, location: [1, 2] } }), ...lines.slice(at + 1)], new RegExp(`^line ${at + 1}: "car.location" should be an array of 3 finite numbers, found an array of 2$`)],
        ['newer.jsonl', [lines[0].replace('"version":1', '"version":2'), ...lines.slice(1)], /^line 1: this recording is format version 2; this page reads version 1 only/],
        ['notes.txt', ['shopping list', 'eggs'], /^line 1: this is not a Volanko recording/],
        ['empty.jsonl', [''], /^the recording is empty$/],
    ];
    await open(`file://${session}`);
    for (const [name, content, expected] of cases) {
        await page.setInputFiles('#file', { name, mimeType: 'application/jsonl', buffer: Buffer.from(content.join('\n')) });
        await page.waitForFunction((name) => replay.source === name, name);
        const shown = await page.$eval('#message', (m) => ({ hidden: m.hidden, kind: m.className, title: m.querySelector('.title').textContent, detail: m.querySelector('.detail').textContent }));
        assert.deepEqual([shown.hidden, shown.kind, shown.title], [false, 'error', `Cannot replay ${name}`], name);
        assert.match(shown.detail, expected, name);
    }
});

test('a truncated recording is shown up to its last whole line, with a warning', async () => {
    const cut = text.slice(0, text.length - 400);
    const whole = cut.split('\n').slice(0, -1);
    const frames = whole.filter((l) => l.includes('"type":"frame"')).length;
    await open(`file://${session}`);
    await page.evaluate((content) => {
        const data = new DataTransfer();
        data.items.add(new File([content], 'cut.jsonl'));
        window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
    }, cut);
    await page.waitForFunction(() => replay.source === 'cut.jsonl');
    const state = await page.evaluate(() => ({ status: replay.status, frames: replay.frameCount, kind: document.getElementById('message').className, detail: replay.warning }));
    assert.deepEqual(state, { status: 'ready', frames, kind: 'warning', detail: `line ${whole.length + 1} is cut short (the recording stops in the middle of a record); showing the ${frames} frames before it` });
});

test('?file= on a local server opens the recording; a missing one says so', async () => {
    const server = createServer((request, response) => {
        const name = new URL(request.url, 'http://localhost').pathname.slice(1);
        const path = name === 'replay.html' ? built : `${out}${name}`;
        if (!/^[\w.-]+$/.test(name) || !existsSync(path)) return response.writeHead(404).end();
        response.writeHead(200).end(readFileSync(path));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const base = `http://127.0.0.1:${server.address().port}/replay.html`;
    try {
        assert.deepEqual(await open(`${base}?file=session.jsonl`), { status: 'ready', message: '', warning: '' });
        assert.equal(await page.evaluate(() => replay.frameCount), recording.frames.length);
        const missing = await open(`${base}?file=nothing.jsonl`);
        assert.deepEqual(missing, { status: 'error', message: 'could not fetch it: the server answered 404 Not Found', warning: '' });
    } finally {
        server.close();
    }
});

test('an embedded HUD text holding "</script>" survives the embedding', async () => {
    const lines = text.split('\n');
    const first = JSON.parse(lines.find((l) => l.includes('"draws"')));
    const tricky = '</script><!-- "Failed!" & <b>';
    first.draws[0].text = tricky;
    writeFileSync(`${out}tricky.jsonl`, [lines[0], JSON.stringify(first), '{"type":"end","time":0,"frames":1}'].join('\n'));
    assert.equal((await open(`file://${embed('tricky')}`)).status, 'ready');
    assert.equal((await page.evaluate(() => replay.hud))[0], tricky);
});
