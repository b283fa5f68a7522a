// Debian's Chromium, headless, for the page's tests: no browser is downloaded, and each launch
// gets a fresh profile that is removed afterwards.

import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';

// A browser context on a fresh profile; closing it removes the profile.
export async function launch(viewport = { width: 1280, height: 800 }) {
    const profile = mkdtempSync(join(tmpdir(), 'volanko-chromium-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: CHROMIUM,
        viewport,
        args: [
            '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync',
            // WebGL without a GPU: the software rasteriser.
            '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
        ],
    });
    const close = context.close.bind(context);
    context.close = async () => {
        await close();
        rmSync(profile, { recursive: true, force: true });
    };
    return context;
}
