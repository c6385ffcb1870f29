"use strict";
// The pit wall's charts, drawn as SVG by the page itself: lap times with the best lap marked, the fuel each
// lap used, and the tyres' mean tread temperatures and the water and oil over the relay's rolling
// history. The lap rows ("L<lap>", "lf<lap>") and the history points ("h<slot>": [time_s, fl, fr, rl, rr,
// water, oil], kelvin) come in the page's state like every other value.
(function () {
  const SVG = "http://www.w3.org/2000/svg";
  const WIDTH = 400;
  const HEIGHT = 150;
  const PAD = { left: 44, right: 8, top: 8, bottom: 20 };

  function element(name, attributes, parent) {
    const node = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
    if (parent) parent.appendChild(node);
    return node;
  }

  function text(parent, x, y, content, anchor) {
    element("text", { x, y, "text-anchor": anchor || "end", class: "axis" }, parent).textContent = content;
  }

  // Draws `series` ({cls, points: [[x, y]], bars, dots}) into the SVG with the given id, axes scaled to fit.
  function plot(id, series, format) {
    const svg = document.getElementById(id);
    if (!svg) return;
    svg.textContent = "";
    svg.setAttribute("viewBox", `0 0 ${WIDTH} ${HEIGHT}`);
    const all = series.flatMap((line) => line.points);
    if (all.length === 0) {
      text(svg, WIDTH / 2, HEIGHT / 2, "no data yet", "middle");
      return;
    }
    let [xMin, xMax] = [Math.min(...all.map((p) => p[0])), Math.max(...all.map((p) => p[0]))];
    let [yMin, yMax] = [Math.min(...all.map((p) => p[1])), Math.max(...all.map((p) => p[1]))];
    // The axis names the data's own ends, not the room left around them.
    const [firstX, lastX] = [xMin, xMax];
    if (series.some((line) => line.bars)) {
      [xMin, xMax, yMin] = [xMin - 0.5, xMax + 0.5, 0];
    }
    if (xMax === xMin) [xMin, xMax] = [xMin - 1, xMax + 1];
    const margin = (yMax - yMin) * 0.1 || Math.abs(yMax) * 0.05 || 1;
    if (yMin !== 0) yMin -= margin;
    yMax += margin;
    const x = (value) => PAD.left + ((value - xMin) / (xMax - xMin)) * (WIDTH - PAD.left - PAD.right);
    const y = (value) => HEIGHT - PAD.bottom - ((value - yMin) / (yMax - yMin)) * (HEIGHT - PAD.top - PAD.bottom);
    for (let i = 0; i <= 2; ++i) {
      const value = yMin + ((yMax - yMin) * i) / 2;
      element("line", { x1: PAD.left, x2: WIDTH - PAD.right, y1: y(value), y2: y(value), class: "grid" }, svg);
      text(svg, PAD.left - 4, y(value) + 4, format.y(value));
    }
    text(svg, x(firstX), HEIGHT - 4, format.x(firstX), "start");
    if (lastX !== firstX) text(svg, x(lastX), HEIGHT - 4, format.x(lastX), "end");
    for (const line of series) {
      if (line.bars) {
        const width = Math.max(2, (x(1) - x(0)) * 0.7);
        for (const [px, py] of line.points) {
          element("rect", { x: x(px) - width / 2, y: y(py), width, height: y(0) - y(py), class: line.cls }, svg);
        }
        continue;
      }
      if (line.points.length > 1) {
        element("polyline", { points: line.points.map(([px, py]) => `${x(px).toFixed(1)},${y(py).toFixed(1)}`)
          .join(" "), class: line.cls }, svg);
      }
      if (line.dots) {
        for (const [px, py, cls] of line.points) {
          element("circle", { cx: x(px), cy: y(py), r: cls === "best" ? 5 : 3, class: `point ${cls || ""}`,
                              "data-x": px }, svg);
        }
      }
    }
  }

  function lapTime(seconds) {
    const minutes = Math.floor(seconds / 60);
    return minutes + ":" + (seconds - minutes * 60).toFixed(1).padStart(4, "0");
  }

  function drawLaps(state) {
    const laps = Object.keys(state)
      .filter((key) => /^L\d+$/.test(key) && Array.isArray(state[key]) && state[key][1] !== null)
      .map((key) => [state[key][0], state[key][1]])
      .sort((a, b) => a[0] - b[0]);
    const best = laps.length ? Math.min(...laps.map((lap) => lap[1])) : null;
    const points = laps.map(([lap, time]) => [lap, time, time === best ? "best" : ""]);
    plot("chart-laps", [{ cls: "lap", points, dots: true }], { x: (lap) => "lap " + Math.round(lap), y: lapTime });
    const fuel = Object.keys(state)
      .filter((key) => /^lf\d+$/.test(key) && typeof state[key] === "number")
      .map((key) => [Number(key.slice(2)), state[key]])
      .sort((a, b) => a[0] - b[0]);
    plot("chart-fuel", [{ cls: "fuel", points: fuel, bars: true }],
         { x: (lap) => "lap " + Math.round(lap), y: (litres) => litres.toFixed(1) });
  }

  function drawHistory(state, metric) {
    const points = Object.keys(state)
      .filter((key) => /^h\d+$/.test(key) && Array.isArray(state[key]))
      .map((key) => state[key])
      .sort((a, b) => a[0] - b[0]);
    const end = points.length ? points[points.length - 1][0] : 0;
    const temperature = (kelvin) => (metric ? kelvin - 273.15 : (kelvin - 273.15) * 1.8 + 32);
    const line = (index, cls) => ({
      cls,
      points: points.filter((p) => p[index] !== null).map((p) => [(p[0] - end) / 60, temperature(p[index])]),
    });
    const last = state.st === "recorded" ? "end" : "now";
    const minutes = { x: (value) => (value === 0 ? last : value.toFixed(1) + " min"), y: (value) => value.toFixed(0) };
    plot("chart-tyres", [line(1, "fl"), line(2, "fr"), line(3, "rl"), line(4, "rr")], minutes);
    plot("chart-engine", [line(5, "water"), line(6, "oil")], minutes);
  }

  window.velmoraCharts = {
    // `changed`: the keys of the last update, or null when everything may have changed.
    update(state, metric, changed) {
      const all = changed === null;
      if (all || changed.some((key) => /^(L|lf)\d+$/.test(key))) drawLaps(state);
      if (all || changed.some((key) => /^h\d+$/.test(key))) drawHistory(state, metric);
    },
  };
})();
