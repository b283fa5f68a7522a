import { defineConfig } from 'vite';
import { viteSingleFile } from 'vite-plugin-singlefile';
import { pitchModule } from './pitch.mjs';

// One self-contained page: scripts and styles inlined, nothing fetched, so it opens from disk.
export default defineConfig({
    base: './',
    build: {
        outDir: 'dist',
        emptyOutDir: true,
        rollupOptions: { input: 'replay.html' },
        chunkSizeWarningLimit: 2000,
    },
    // The pitch's measures come from the host runtime's pitch.h (see pitch.mjs).
    plugins: [pitchModule(), viteSingleFile()],
});
