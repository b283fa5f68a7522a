// The page's pitch comes from the host runtime's pitch.h: every measure is read from it, and a
// header that lacks one stops the build instead of leaving the page with a number of its own.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { PITCH_HEADER, readPitch } from '../pitch.mjs';

test('the measures are those of pitch.h', () => {
    const header = readFileSync(PITCH_HEADER, 'utf8');
    const pitch = readPitch(header);
    for (const [key, constant] of [['x', 'kSideWallX'], ['y', 'kBackWallY'], ['ceiling', 'kCeilingZ'], ['ballRadius', 'kBallRadius']]) {
        const changed = header.replace(new RegExp(`(${constant}\\s*=\\s*)[0-9.]+`), '$1 12.5');
        assert.equal(readPitch(changed)[key], 12.5, constant);
        assert.notEqual(pitch[key], 12.5);
    }
});

test('a header without a measure is refused, by name', () => {
    const header = readFileSync(PITCH_HEADER, 'utf8').replace('kCeilingZ', 'kRoofZ');
    assert.throws(() => readPitch(header, 'pitch.h'), /pitch\.h: no inline constexpr float kCeilingZ/);
});
