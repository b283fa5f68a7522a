// The page's reader on its own, in node: the broken recordings the arena's test gives to `arena
// replay` get the same words here.

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
