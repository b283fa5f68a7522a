// The pitch's measures for the page, read from the host runtime's runtime/include/runtime/pitch.h
// when the page is built, so that they are typed once: the build fails when one cannot be read.

import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';

export const PITCH_HEADER = fileURLToPath(new URL('../runtime/include/runtime/pitch.h', import.meta.url));

// The page's name for each constant of the header.
const MEASURES = { x: 'kSideWallX', y: 'kBackWallY', ceiling: 'kCeilingZ', ballRadius: 'kBallRadius' };

// { x, y, ceiling, ballRadius } from the header's text: each an `inline constexpr float` with a
// plain number. `name` is the header's in messages.
export function readPitch(text, name = 'pitch.h') {
    const measures = {};
    for (const [key, constant] of Object.entries(MEASURES)) {
        const found = text.match(new RegExp(`inline\\s+constexpr\\s+float\\s+${constant}\\s*=\\s*([0-9.]+)f?\\s*;`));
        const value = found ? Number(found[1]) : NaN;
        if (!(value > 0)) {
            throw new Error(`${name}: no inline constexpr float ${constant} = <a positive number>; the page takes the pitch's measures from it`);
        }
        measures[key] = value;
    }
    return measures;
}

// The module `virtual:pitch` that src/scene.js imports: PITCH ({ x, y, ceiling }) and BALL_RADIUS.
export function pitchModule(header = PITCH_HEADER) {
    const id = '\0virtual:pitch';
    return {
        name: 'volanko-pitch',
        resolveId: (source) => (source === 'virtual:pitch' ? id : null),
        load(source) {
            if (source !== id) return null;
            this.addWatchFile?.(header);
            const { x, y, ceiling, ballRadius } = readPitch(readFileSync(header, 'utf8'), header);
            return `export const PITCH = ${JSON.stringify({ x, y, ceiling })};\nexport const BALL_RADIUS = ${ballRadius};\n`;
        },
    };
}
