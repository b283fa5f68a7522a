// The plug-in's HUD over the view: each recorded draw at its canvas position scaled to the view, in
// its colour and scale. A position names the text's top-left corner, as the arena's canvas does.

// Text height at scale 1, in canvas pixels: the HUD's rows are 30 pixels apart and its columns
// 200, so this keeps the plug-in's layout free of overlaps at any window size.
const BASE_SIZE = 15;
// Below this many view pixels (at scale 1) text is hard to read, so small views round it up.
const LEAST_SIZE = 9;

export class Hud {
    constructor(element) {
        this.element = element;
        this.shown = null;
        this.key = '';
    }

    // Redraws only when the draws or the view's size changed.
    show(draws, canvas, width, height) {
        const key = `${width}x${height}/${canvas}`;
        if (draws === this.shown && key === this.key) return;
        this.shown = draws;
        this.key = key;
        const sx = width / canvas[0];
        const sy = height / canvas[1];
        this.element.replaceChildren(
            ...draws.map((draw) => {
                const div = document.createElement('div');
                div.className = 'draw';
                div.textContent = draw.text;
                const [r, g, b, a] = draw.color.map((c) => Math.max(0, Math.min(255, c)));
                const [xScale, yScale] = draw.scale;
                div.style.left = `${draw.position[0] * sx}px`;
                div.style.top = `${draw.position[1] * sy}px`;
                div.style.color = `rgba(${r}, ${g}, ${b}, ${a / 255})`;
                div.style.fontSize = `${Math.max(0, Math.max(BASE_SIZE * sy, LEAST_SIZE) * yScale)}px`;
                // Uneven scales stretch the text sideways from its corner.
                if (yScale > 0 && xScale !== yScale) div.style.transform = `scaleX(${xScale / yScale})`;
                return div;
            }),
        );
    }

    texts() {
        return [...this.element.children].map((div) => div.textContent);
    }
}
