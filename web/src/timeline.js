// The timeline under the view: one band per run (take-off to landing), a tick for every hit,
// take-off and landing, a flag for every level change, and the playhead. A click seeks; a click on
// or next to a marker seeks to that event.

const COLORS = { takeoff: '#4ade80', hit: '#facc15', landing: '#f87171', level: '#c084fc' };
const SNAP = 5; // css pixels around a marker that a click still picks it

export class Timeline {
    constructor(canvas, onSeekFrame, onSeekEvent) {
        this.canvas = canvas;
        this.recording = null;
        this.index = 0;
        this.position = 0; // the playhead as a drawn-frame number
        canvas.addEventListener('pointerdown', (e) => {
            if (!this.recording) return;
            canvas.setPointerCapture(e.pointerId);
            const event = this.eventAt(e.offsetX);
            if (event >= 0) onSeekEvent(event);
            else onSeekFrame(this.frameAt(e.offsetX));
            this.dragging = true;
        });
        canvas.addEventListener('pointermove', (e) => {
            if (this.dragging && this.recording) onSeekFrame(this.frameAt(e.offsetX));
        });
        canvas.addEventListener('pointerup', () => (this.dragging = false));
    }

    load(recording) {
        this.recording = recording;
        const frames = recording.frames;
        this.first = frames[0].frame;
        this.last = Math.max(frames[frames.length - 1].frame, this.first + 1);
        this.draw();
    }

    clear() {
        this.recording = null;
        this.draw();
    }

    get width() {
        return this.canvas.clientWidth;
    }

    // The x, in css pixels, of a drawn-frame number; the track leaves a margin at either end.
    x(frame) {
        const margin = 8;
        return margin + ((frame - this.first) / (this.last - this.first)) * (this.width - 2 * margin);
    }

    frameAt(x) {
        const margin = 8;
        return this.first + ((x - margin) / (this.width - 2 * margin)) * (this.last - this.first);
    }

    // An event sits where the frame after it is drawn: the first frame that shows its outcome.
    eventX(i) {
        const { events, frames } = this.recording;
        return this.x(frames[events[i].frameAfter].frame);
    }

    // The nearest marked event within reach of x, or -1. Resets are not marked: they come with
    // every take-off and hit.
    eventAt(x) {
        let best = -1;
        let distance = SNAP;
        this.recording.events.forEach((event, i) => {
            if (!(event.type in COLORS)) return;
            const d = Math.abs(this.eventX(i) - x);
            if (d <= distance) {
                best = i;
                distance = d;
            }
        });
        return best;
    }

    setPosition(index, position) {
        this.index = index;
        this.position = position;
        this.draw();
    }

    draw() {
        const canvas = this.canvas;
        const ratio = window.devicePixelRatio || 1;
        const width = canvas.clientWidth;
        const height = canvas.clientHeight;
        if (canvas.width !== Math.round(width * ratio) || canvas.height !== Math.round(height * ratio)) {
            canvas.width = Math.round(width * ratio);
            canvas.height = Math.round(height * ratio);
        }
        const g = canvas.getContext('2d');
        g.setTransform(ratio, 0, 0, ratio, 0, 0);
        g.clearRect(0, 0, width, height);
        g.fillStyle = '#111827';
        g.fillRect(0, 0, width, height);
        if (!this.recording) return;
        const { frames, events, runs, header } = this.recording;
        const track = { top: 16, bottom: height - 16 };
        g.fillStyle = '#1f2937';
        g.fillRect(this.x(this.first), track.top, this.x(this.last) - this.x(this.first), track.bottom - track.top);
        for (const run of runs) {
            const from = this.x(frames[run.start.frameAfter].frame);
            const to = this.x(frames[run.endFrame].frame);
            g.fillStyle = run.finished ? 'rgba(59,130,246,0.45)' : 'rgba(59,130,246,0.25)';
            g.fillRect(from, track.top + 6, Math.max(2, to - from), track.bottom - track.top - 12);
        }
        g.font = '10px system-ui, sans-serif';
        g.textBaseline = 'top';
        events.forEach((event, i) => {
            const color = COLORS[event.type];
            if (!color) return;
            const x = Math.round(this.eventX(i)) + 0.5;
            g.strokeStyle = color;
            g.lineWidth = event.type === 'hit' ? 2 : 1.5;
            g.beginPath();
            const inset = event.type === 'hit' ? 2 : event.type === 'level' ? -14 : 6;
            g.moveTo(x, track.top + inset);
            g.lineTo(x, track.bottom - (event.type === 'level' ? 0 : inset));
            g.stroke();
            if (event.type === 'level') {
                g.fillStyle = color;
                g.fillText(event.level, x + 3, 2);
            }
        });
        // Seconds of the session along the bottom edge.
        g.fillStyle = '#9ca3af';
        g.textBaseline = 'bottom';
        const seconds = (this.last - this.first) / header.fps;
        const step = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600].find((s) => (seconds / s) * 48 < width) ?? 1200;
        for (let s = 0; s <= seconds; s += step) {
            const x = this.x(this.first + s * header.fps);
            g.fillRect(x, track.bottom, 1, 3);
            g.fillText(`${s}s`, x + 2, height);
        }
        const x = Math.round(this.x(this.position)) + 0.5;
        g.strokeStyle = '#ffffff';
        g.lineWidth = 2;
        g.beginPath();
        g.moveTo(x, 4);
        g.lineTo(x, height - 4);
        g.stroke();
    }
}
