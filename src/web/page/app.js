"use strict";
// The relay sends the whole state once, then only the keys that changed. Panels come worded in both unit
// systems with the dashboard's colour; everything else is a plain number formatted here.
(function () {
  const state = {};
  const $ = (id) => document.getElementById(id);
  let metric = localStorage.getItem("velmora.units") !== "imperial";
  let pageStatus = "offline";

  const STATUS_TEXT = {
    ok: "Live",
    nodata: "No data: the server has no simulator (501 No data)",
    lost: "The relay has lost the server; retrying",
    offline: "The page has lost the relay; retrying",
    caroffline: "This car is offline: its publisher has gone",
    recorded: "Recorded session",
  };

  function lapTime(seconds) {
    if (seconds === null || seconds === undefined) return "-";
    const minutes = Math.floor(seconds / 60);
    const rest = (seconds - minutes * 60).toFixed(3).padStart(6, "0");
    return minutes > 0 ? minutes + ":" + rest : rest;
  }

  function split(seconds) {
    return seconds === null || seconds === undefined ? "-" : seconds.toFixed(3);
  }

  // "metric|imperial" under the panel's key, its colour under the key + "c".
  function panel(id, value) {
    const element = $(id);
    if (!element || typeof value !== "string") return;
    const texts = value.split("|");
    element.textContent = metric ? texts[0] : texts[1];
  }

  function colour(id, value) {
    const element = $(id);
    if (element) element.style.backgroundColor = "#" + value;
  }

  function lamp(id, value) {
    const element = $(id);
    element.classList.toggle("on", value === 1);
    element.classList.toggle("on2", value >= 2);
  }

  function bar(id, percent) {
    const element = $(id);
    if (element) element.style[id.endsWith("-w") ? "width" : "height"] = Math.max(0, Math.min(100, percent)) + "%";
  }

  function showStatus() {
    const ok = pageStatus === "ok" || pageStatus === "recorded";
    $("status").className = pageStatus;
    $("status").textContent = STATUS_TEXT[pageStatus];
    document.body.classList.toggle("stale", !ok);
  }

  function lapRows() {
    const rows = Object.keys(state)
      .filter((key) => key.startsWith("L") && state[key] !== null)
      .map((key) => state[key])
      .sort((a, b) => b[0] - a[0]);
    const body = $("laps");
    body.textContent = "";
    for (const row of rows) {
      const tr = document.createElement("tr");
      tr.dataset.lap = row[0];
      const fuel = state["lf" + row[0]];
      const cells = [row[0], lapTime(row[1]), split(row[2]), split(row[3]), split(row[4]),
                     typeof fuel === "number" ? fuel.toFixed(2) : "-"];
      for (const text of cells) {
        const td = document.createElement("td");
        td.textContent = text;
        tr.appendChild(td);
      }
      body.appendChild(tr);
    }
  }

  function render(key) {
    const value = state[key];
    if (key === "st") {
      pageStatus = value;
      showStatus();
      return;
    }
    if (/^(fl|fr|rl|rr)[omipb]$/.test(key)) return panel(key.slice(0, 2) + "-" + key.slice(2), value);
    if (/^(fl|fr|rl|rr)[omipb]c$/.test(key)) return colour(key.slice(0, 2) + "-" + key.slice(2, 3), value);
    if (/^(fl|fr|rl|rr)w$/.test(key)) return bar(key.slice(0, 2) + "-w", value);
    switch (key) {
      case "wa": case "oi": return panel(key, value);
      case "wac": case "oic": return colour(key.slice(0, 2), value);
      case "ew":
        $("ew").textContent = value[0];
        $("ew").style.backgroundColor = "#" + value[1];
        return;
      case "g": case "ses": case "sc": case "pos": case "nd": case "lap":
        $(key).textContent = value;
        return;
      case "sp":
        $("sp").textContent = metric ? value : Math.round(value / 1.609344);
        return;
      case "th": case "br": case "cl": return bar(key, value);
      case "abs": case "tc": case "stb": case "cll": case "lim": case "hl": case "pit": case "ign":
        return lamp(key, value);
      case "fu": $("fu").textContent = value.toFixed(1); return;
      case "ll":
        $("ll").textContent = value === null ? "-" : value.toFixed(1);
        $("ll").classList.toggle("warn", value !== null && value < 3);
        return;
      case "lt": case "bt": $(key).textContent = lapTime(value); return;
    }
  }

  function renderAll() {
    $("units").textContent = metric ? "metric" : "imperial";
    for (const element of document.querySelectorAll(".u-t")) element.textContent = metric ? "°C" : "°F";
    for (const element of document.querySelectorAll(".u-p")) element.textContent = metric ? "kPa" : "psi";
    for (const element of document.querySelectorAll(".u-s")) element.textContent = metric ? "km/h" : "mph";
    for (const key of Object.keys(state)) render(key);
    lapRows();
    if (window.velmoraCharts) window.velmoraCharts.update(state, metric, null);
  }

  function connect() {
    const token = new URLSearchParams(location.search).get("token");
    const scheme = location.protocol === "https:" ? "wss:" : "ws:";
    const socket = new WebSocket(scheme + "//" + location.host + "/stream" +
                                 (token ? "?token=" + encodeURIComponent(token) : ""));
    socket.onmessage = (event) => {
      const message = JSON.parse(event.data);
      if (!window.VelmoraLeague.take(message, apply, () => metric)) apply(message);
    };
    socket.onclose = () => {
      pageStatus = "offline";
      showStatus();
      setTimeout(connect, 1000);
    };
  }

  // One message of the one-car view: the whole state, or what changed.
  function apply(message) {
    if (message.full) {
      for (const key of Object.keys(state)) delete state[key];
    }
    Object.assign(state, message.v);
    // A lap the relay no longer keeps comes once as null.
    for (const [key, value] of Object.entries(message.v)) {
      if (value === null && (key.startsWith("L") || key.startsWith("lf"))) delete state[key];
    }
    if (message.full) return renderAll();
    let laps = false;
    for (const key of Object.keys(message.v)) {
      if (key.startsWith("L") || key.startsWith("lf")) laps = true;
      else render(key);
    }
    if (laps) lapRows();
    if (window.velmoraCharts) window.velmoraCharts.update(state, metric, Object.keys(message.v));
  }

  $("units").addEventListener("click", () => {
    metric = !metric;
    localStorage.setItem("velmora.units", metric ? "metric" : "imperial");
    renderAll();
    window.VelmoraLeague.refresh();
  });
  renderAll();
  showStatus();
  connect();
})();
