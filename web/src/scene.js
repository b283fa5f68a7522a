// The 3D view: the pitch to scale in world units (z up, origin at the centre spot), the ball, the
// car as an oriented box with its nose marked, their fading trails, and an orbit camera that can
// follow the car.

import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';
// The arena's pitch (side walls at x = ±PITCH.x, back walls at y = ±PITCH.y, the ceiling at
// PITCH.ceiling) and the ball's radius, as the host runtime's pitch.h has them (see pitch.mjs).
import { PITCH, BALL_RADIUS } from 'virtual:pitch';

export { PITCH };
// The goals are drawn for orientation; the arena simulates none. Mouth width and height, depth.
const GOAL = { width: 1786, height: 643, depth: 880 };
const CAR_SIZE = [118, 84, 36]; // length along the nose, width, height
const TURN = 65536;
const TRAIL_POINTS = 400;

// A rotation in the host's units (pitch, yaw, roll; 65536 to the turn) as a quaternion. Yaw turns
// from +x towards +y, pitch raises the nose, roll turns about the nose.
export function orientation(rotation, target = new THREE.Quaternion()) {
    const k = (2 * Math.PI) / TURN;
    return target.setFromEuler(new THREE.Euler(rotation[2] * k, -rotation[0] * k, rotation[1] * k, 'ZYX'));
}

function line(points, color, opacity = 1) {
    const geometry = new THREE.BufferGeometry().setFromPoints(points.map((p) => new THREE.Vector3(...p)));
    return new THREE.Line(geometry, new THREE.LineBasicMaterial({ color, transparent: opacity < 1, opacity }));
}

function box(size, center, color, opacity) {
    const group = new THREE.Group();
    const geometry = new THREE.BoxGeometry(...size);
    const mesh = new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({ color, transparent: true, opacity, depthWrite: false, side: THREE.DoubleSide }));
    const edges = new THREE.LineSegments(new THREE.EdgesGeometry(geometry), new THREE.LineBasicMaterial({ color }));
    group.add(mesh, edges);
    group.position.set(...center);
    return group;
}

function buildPitch() {
    const { x, y, ceiling } = PITCH;
    const group = new THREE.Group();
    // Mown stripes across the length make distances on the ground readable.
    const stripes = 10;
    for (let i = 0; i < stripes; ++i) {
        const plane = new THREE.Mesh(
            new THREE.PlaneGeometry(2 * x, (2 * y) / stripes),
            new THREE.MeshStandardMaterial({ color: i % 2 ? 0x2f7a3a : 0x36883f, roughness: 1 }),
        );
        plane.position.set(0, -y + ((i + 0.5) * 2 * y) / stripes, 0);
        group.add(plane);
    }
    const white = 0xeeeeee;
    const lift = 2;
    group.add(line([[-x, 0, lift], [x, 0, lift]], white, 0.8));
    const circle = [];
    for (let i = 0; i <= 64; ++i) circle.push([915 * Math.cos((i / 64) * 2 * Math.PI), 915 * Math.sin((i / 64) * 2 * Math.PI), lift]);
    group.add(line(circle, white, 0.8));
    group.add(line([[-x, -y, lift], [x, -y, lift], [x, y, lift], [-x, y, lift], [-x, -y, lift]], white));
    // Walls: faint glass with solid edges, so the car stays visible behind them.
    const wall = new THREE.MeshBasicMaterial({ color: 0x9fc6ff, transparent: true, opacity: 0.06, side: THREE.DoubleSide, depthWrite: false });
    for (const [w, h, pos, rot] of [
        [2 * y, ceiling, [x, 0, ceiling / 2], [Math.PI / 2, Math.PI / 2, 0]],
        [2 * y, ceiling, [-x, 0, ceiling / 2], [Math.PI / 2, Math.PI / 2, 0]],
        [2 * x, ceiling, [0, y, ceiling / 2], [Math.PI / 2, 0, 0]],
        [2 * x, ceiling, [0, -y, ceiling / 2], [Math.PI / 2, 0, 0]],
    ]) {
        const plane = new THREE.Mesh(new THREE.PlaneGeometry(w, h), wall);
        plane.position.set(...pos);
        plane.rotation.set(...rot);
        group.add(plane);
    }
    const edge = 0x9fc6ff;
    group.add(line([[-x, -y, ceiling], [x, -y, ceiling], [x, y, ceiling], [-x, y, ceiling], [-x, -y, ceiling]], edge, 0.5));
    for (const [cx, cy] of [[-x, -y], [x, -y], [x, y], [-x, y]]) group.add(line([[cx, cy, 0], [cx, cy, ceiling]], edge, 0.5));
    // Goals behind the back walls: blue at -y, orange at +y.
    for (const [sign, color] of [[-1, 0x3b82f6], [1, 0xf97316]]) {
        group.add(box([GOAL.width, GOAL.depth, GOAL.height], [0, sign * (y + GOAL.depth / 2), GOAL.height / 2], color, 0.25));
    }
    return group;
}

function buildBall() {
    const group = new THREE.Group();
    group.add(new THREE.Mesh(new THREE.SphereGeometry(BALL_RADIUS, 32, 16), new THREE.MeshStandardMaterial({ color: 0xf2f2f2, roughness: 0.5 })));
    // Three seams at right angles show the ball's rotation; one is coloured to tell them apart.
    const ring = [];
    for (let i = 0; i <= 48; ++i) ring.push([Math.cos((i / 48) * 2 * Math.PI) * BALL_RADIUS * 1.01, Math.sin((i / 48) * 2 * Math.PI) * BALL_RADIUS * 1.01, 0]);
    for (const [rotation, color] of [[[0, 0, 0], 0xe11d48], [[Math.PI / 2, 0, 0], 0x374151], [[0, Math.PI / 2, 0], 0x374151]]) {
        const seam = line(ring, color);
        seam.rotation.set(...rotation);
        group.add(seam);
    }
    return group;
}

function buildCar() {
    const group = new THREE.Group();
    const [length, width, height] = CAR_SIZE;
    const body = new THREE.Mesh(new THREE.BoxGeometry(length, width, height), new THREE.MeshStandardMaterial({ color: 0x2563eb, roughness: 0.6 }));
    const cabin = new THREE.Mesh(new THREE.BoxGeometry(length * 0.45, width * 0.8, height * 0.7), new THREE.MeshStandardMaterial({ color: 0x93c5fd }));
    cabin.position.set(-length * 0.1, 0, height * 0.8);
    // The nose: a bright wedge pointing along +x, the car's forward direction.
    const nose = new THREE.Mesh(new THREE.ConeGeometry(width * 0.35, length * 0.45, 4), new THREE.MeshStandardMaterial({ color: 0xfacc15, emissive: 0x6b5200 }));
    nose.rotation.z = -Math.PI / 2;
    nose.position.set(length * 0.6, 0, 0);
    group.add(body, cabin, nose);
    return group;
}

function marker(color) {
    const geometry = new THREE.BufferGeometry().setFromPoints([new THREE.Vector3()]);
    const points = new THREE.Points(geometry, new THREE.PointsMaterial({ color, size: 7, sizeAttenuation: false, transparent: true, opacity: 0.55, depthWrite: false }));
    points.frustumCulled = false;
    return points;
}

// A fading trail: vertex colours with alpha, newest point brightest.
class Trail {
    constructor(color) {
        this.color = new THREE.Color(color);
        this.geometry = new THREE.BufferGeometry();
        this.geometry.setAttribute('position', new THREE.BufferAttribute(new Float32Array(TRAIL_POINTS * 6), 3));
        this.geometry.setAttribute('color', new THREE.BufferAttribute(new Float32Array(TRAIL_POINTS * 8), 4));
        this.object = new THREE.LineSegments(this.geometry, new THREE.LineBasicMaterial({ vertexColors: true, transparent: true, depthWrite: false }));
        this.object.frustumCulled = false;
    }

    // `segments`: [[from, to, age 0..1], ...], age 0 the newest.
    set(segments) {
        const position = this.geometry.attributes.position;
        const color = this.geometry.attributes.color;
        const count = Math.min(segments.length, TRAIL_POINTS);
        for (let i = 0; i < count; ++i) {
            const [from, to, age] = segments[i];
            position.setXYZ(2 * i, ...from);
            position.setXYZ(2 * i + 1, ...to);
            const alpha = Math.max(0, 1 - age) * 0.9;
            color.setXYZW(2 * i, this.color.r, this.color.g, this.color.b, alpha);
            color.setXYZW(2 * i + 1, this.color.r, this.color.g, this.color.b, alpha);
        }
        this.geometry.setDrawRange(0, 2 * count);
        position.needsUpdate = true;
        color.needsUpdate = true;
    }
}

// A line down to the ground and a shadow disc, so heights can be judged from any angle.
class Drop {
    constructor(radius) {
        this.line = line([[0, 0, 0], [0, 0, 1]], 0xffffff, 0.35);
        this.shadow = new THREE.Mesh(new THREE.CircleGeometry(radius, 24), new THREE.MeshBasicMaterial({ color: 0x000000, transparent: true, opacity: 0.35, depthWrite: false }));
    }

    set(location) {
        const [x, y, z] = location;
        this.line.geometry.attributes.position.setXYZ(0, x, y, 3);
        this.line.geometry.attributes.position.setXYZ(1, x, y, z);
        this.line.geometry.attributes.position.needsUpdate = true;
        this.line.geometry.computeBoundingSphere();
        this.shadow.position.set(x, y, 3);
    }
}

export class Scene {
    constructor(canvas) {
        this.canvas = canvas;
        this.renderer = new THREE.WebGLRenderer({ canvas, antialias: true, preserveDrawingBuffer: true });
        this.renderer.setPixelRatio(Math.min(window.devicePixelRatio || 1, 2));
        this.scene = new THREE.Scene();
        this.scene.background = new THREE.Color(0x0d1420);
        this.scene.add(new THREE.HemisphereLight(0xdbe8ff, 0x203020, 1.6));
        const sun = new THREE.DirectionalLight(0xffffff, 1.8);
        sun.position.set(-3000, -2000, 6000);
        this.scene.add(sun);
        this.scene.add(buildPitch());
        this.ball = buildBall();
        this.car = buildCar();
        this.ballDrop = new Drop(BALL_RADIUS);
        this.carDrop = new Drop(60);
        this.ballTrail = new Trail(0xffffff);
        this.carTrail = new Trail(0xfacc15);
        // Dots of a fixed size on screen, so car and ball are found at once from far away.
        this.carDot = marker(0xfacc15);
        this.ballDot = marker(0xffffff);
        // Hidden until a recording shows them.
        this.bodies = [this.carDot, this.ballDot, this.ball, this.car, this.ballDrop.line, this.ballDrop.shadow, this.carDrop.line, this.carDrop.shadow, this.ballTrail.object, this.carTrail.object];
        for (const o of this.bodies) {
            o.visible = false;
            this.scene.add(o);
        }
        this.camera = new THREE.PerspectiveCamera(50, 1, 10, 60000);
        this.camera.up.set(0, 0, 1);
        this.controls = new OrbitControls(this.camera, canvas);
        this.overview();
        this.controls.enableDamping = true;
        this.controls.maxDistance = 30000;
        this.controls.minDistance = 150;
        this.follow = false;
        this.carPosition = new THREE.Vector3();
    }

    resize(width, height) {
        this.renderer.setSize(width, height, false);
        this.camera.aspect = width / Math.max(1, height);
        this.camera.updateProjectionMatrix();
    }

    // `state`: {car: {location, quaternion}, ball: {location, quaternion}, carTrail, ballTrail}.
    show(state) {
        for (const o of this.bodies) o.visible = true;
        this.car.position.set(...state.car.location);
        this.car.quaternion.copy(state.car.quaternion);
        this.ball.position.set(...state.ball.location);
        this.ball.quaternion.copy(state.ball.quaternion);
        this.carDrop.set(state.car.location);
        this.ballDrop.set(state.ball.location);
        this.carTrail.set(state.carTrail);
        this.ballTrail.set(state.ballTrail);
        this.carPosition.set(...state.car.location);
        this.carDot.position.set(...state.car.location);
        this.ballDot.position.set(...state.ball.location);
    }

    hideBodies() {
        for (const o of this.bodies) o.visible = false;
    }

    render() {
        if (this.follow) {
            // Keep the camera's offset from its target while the target rides with the car.
            // A seek or a reset jumps at once; flight is followed smoothly.
            const gap = this.carPosition.clone().sub(this.controls.target);
            const shift = gap.length() > 1500 ? gap : gap.multiplyScalar(0.15);
            this.controls.target.add(shift);
            this.camera.position.add(shift);
        }
        this.controls.update();
        this.renderer.render(this.scene, this.camera);
    }

    // From above a side wall, the pitch's length across the screen.
    overview() {
        this.follow = false;
        this.camera.position.set(-8600, -1400, 4300);
        this.controls.target.set(-300, 0, 300);
    }

    // Brings the camera close behind the car when following starts.
    startFollowing() {
        this.follow = true;
        const offset = this.camera.position.clone().sub(this.controls.target);
        if (offset.length() > 2500) offset.setLength(1600);
        this.controls.target.copy(this.carPosition);
        this.camera.position.copy(this.carPosition).add(offset);
    }
}
