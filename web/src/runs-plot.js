// Beside the timeline: each run's hits (bars) and duration (points) by run number. Clicking a run
// seeks to its take-off.

import uPlot from 'uplot';
import 'uplot/dist/uPlot.min.css';

export class RunsPlot {
    constructor(element, onPickRun) {
        this.element = element;
        this.onPickRun = onPickRun;
        this.plot = null;
        this.current = -1;
    }

    clear() {
        this.plot?.destroy();
        this.plot = null;
        this.element.replaceChildren();
    }

    load(runs) {
        this.clear();
        if (runs.length === 0) {
            const empty = document.createElement('p');
            empty.className = 'plot-empty';
            empty.textContent = 'No run in this recording: the car never left the ground.';
            this.element.append(empty);
            this.plot = null;
            return;
        }
        const data = [runs.map((_, i) => i + 1), runs.map((r) => r.hits), runs.map((r) => Math.round(r.duration * 100) / 100)];
        const bars = uPlot.paths.bars({ size: [0.6, 40] });
        const axis = { stroke: '#9ca3af', grid: { stroke: 'rgba(255,255,255,0.07)' }, ticks: { stroke: 'rgba(255,255,255,0.15)' }, font: '10px system-ui, sans-serif' };
        const options = {
            width: this.width(),
            height: 120,
            legend: { show: true, live: false },
            cursor: { drag: { x: false, y: false }, points: { size: 6 } },
            scales: { x: { time: false, range: [0.4, runs.length + 0.6] }, hits: { range: (u, min, max) => [0, Math.max(3, max + 1)] }, s: { range: (u, min, max) => [0, Math.max(1, max * 1.15)] } },
            axes: [
                { ...axis, label: 'run', labelSize: 14, size: 30, incrs: [1, 2, 5, 10, 20, 50, 100], values: (u, v) => v.map((n) => (Number.isInteger(n) ? n : '')) },
                { ...axis, scale: 'hits', label: 'hits', labelSize: 14, size: 34, incrs: [1, 2, 5, 10, 20, 50] },
                { ...axis, scale: 's', side: 1, label: 'seconds', labelSize: 14, size: 40, grid: { show: false } },
            ],
            series: [
                { label: 'run' },
                { label: 'hits', scale: 'hits', stroke: '#facc15', fill: 'rgba(250,204,21,0.45)', paths: bars, points: { show: false } },
                { label: 'duration s', scale: 's', stroke: '#60a5fa', width: 1.5, points: { show: true, size: 6, fill: '#60a5fa' } },
            ],
            hooks: {
                ready: [
                    (u) =>
                        u.over.addEventListener('click', () => {
                            const i = u.cursor.idx;
                            if (i != null) this.onPickRun(i);
                        }),
                ],
            },
        };
        this.plot = new uPlot(options, data, this.element);
        this.resize();
    }

    // The plot fills the box under its legend.
    resize() {
        if (!this.plot) return;
        const legend = this.element.querySelector('.u-legend')?.offsetHeight ?? 0;
        this.plot.setSize({ width: this.width(), height: Math.max(60, this.element.clientHeight - 10 - legend) });
    }

    width() {
        return Math.max(120, this.element.clientWidth - 8);
    }
}
