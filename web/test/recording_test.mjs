// The page's reader on its own, in node: the broken recordings the arena's test gives to `arena
// replay` get the same words here, and seeds are shown with every digit the header holds.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { parseRecording, RecordingError } from '../src/recording.js';

const here = new URL('.', import.meta.url).pathname;

// The cases of tests/arena/broken_recordings.txt (its first lines say how they are written).
function brokenRecordings() {
    const cases = [];
    for (const line of readFileSync(`${here}../../tests/arena/broken_recordings.txt`, 'utf8').split('\n')) {
        const last = cases.at(-1);
        if (line.startsWith('== ')) cases.push({ name: line.slice(3), lines: [], newline: true });
        else if (line.startsWith('|')) last.lines.push(line.slice(1));
        else if (line === 'no final newline') last.newline = false;
        else if (/^(refused|incomplete): /.test(line)) [, last.kind, last.message] = /^(\w+): (.*)$/.exec(line);
    }
    return cases.map((c) => ({ ...c, text: c.lines.join('\n') + (c.newline && c.lines.length ? '\n' : '') }));
}

test('the broken recordings get the words the arena gives them', () => {
    const cases = brokenRecordings();
    assert.ok(cases.length >= 30, `only ${cases.length} cases read`);
    for (const { name, kind, message, text } of cases) {
        let refusal = null;
        let warning = null;
        try {
            warning = parseRecording(text).warning;
        } catch (error) {
            refusal = error;
        }
        if (kind === 'refused') {
            assert.ok(refusal instanceof RecordingError, `${name}: ${refusal ?? 'read without a fault'}`);
            assert.equal(refusal.message, message, name);
        } else {
            assert.deepEqual([refusal, warning], [null, message], name);
        }
    }
});

test('the seed is shown with every digit the header holds', () => {
    const frame = '{"type":"frame","time":0,"frame":0,"car":{"location":[0,0,17],"rotation":[0,0,0],"contact":"ground"},"ball":{"location":[0,0,91.25],"rotation":[0,0,0]}}';
    const header = (seed) => `{"format":"volanko-recording","version":1,"seed":${seed},"level":"beginner","plugin":{"name":"Volanko","version":"1.0","seed":5},"fps":120,"canvas":[1920,1080]}`;
    const cases = [
        ['18446744073709551615', '18446744073709551615'],
        ['9007199254740993', '9007199254740993'],
        ['7', '7'],
        [' 42 ', '42'],
        ['7,"level":"seed","seed":12345678901234567890', '12345678901234567890'], // the last one counts
        ['7.5', '7.5'], // not a whole number: as it reads
        ['1e3', '1000'],
    ];
    for (const [seed, shown] of cases) {
        const text = `${header(seed)}\n${frame}\n{"type":"end","time":0,"frames":1}\n`;
        assert.equal(parseRecording(text).header.seed, shown, seed);
    }
});
