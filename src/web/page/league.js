"use strict";
// A relay fed by a broker sends every car of the team or the league: its keys come as "~NAME\u0001KEY".
// Each car is a tile; the chosen one is handed to the one-car view as if the relay sent that car alone.
window.VelmoraLeague = (function () {
  const SEPARATOR = "\u0001";
  const cars = new Map();  // name -> { key: value }
  let active = false;
  let chosen = new URLSearchParams(location.search).get("car");
  let show = null;  // the one-car view's apply(message)
  let metric = () => true;

  const $ = (id) => document.getElementById(id);

  function lapTime(seconds) {
    if (typeof seconds !== "number") return "-";
    const minutes = Math.floor(seconds / 60);
    const rest = (seconds - minutes * 60).toFixed(3).padStart(6, "0");
    return minutes > 0 ? minutes + ":" + rest : rest;
  }

  // The one-car view's keys of a car; a car its publisher left shows as offline.
  function carView(car) {
    const view = {};
    for (const [key, value] of Object.entries(car)) {
      if (key !== "on" && key !== "t") view[key] = value;
    }
    if (car.on === "offline") view.st = "caroffline";
    return view;
  }

  function tile(name) {
    const car = cars.get(name);
    let element = document.querySelector('.tile[data-car="' + CSS.escape(name) + '"]');
    if (!element) {
      element = document.createElement("button");
      element.type = "button";
      element.className = "tile";
      element.dataset.car = name;
      element.innerHTML =
          '<h2></h2><span class="on"></span><div class="line"><span class="pos"></span>' +
          '<span class="ll"></span></div><div class="line"><span class="lt"></span><span class="bt"></span></div>' +
          '<div class="treads"></div>';
      const treads = element.querySelector(".treads");
      for (const wheel of ["fl", "fr", "rl", "rr"]) {
        const group = document.createElement("span");
        group.className = "tw";
        for (const part of ["o", "m", "i"]) {
          const cell = document.createElement("i");
          cell.dataset.key = wheel + part;
          group.appendChild(cell);
        }
        treads.appendChild(group);
      }
      element.addEventListener("click", () => choose(name));
      const list = $("cars");
      const after = [...list.children].find((other) => other.dataset.car > name);
      list.insertBefore(element, after || null);
    }
    element.querySelector("h2").textContent = name;
    const online = car.on !== "offline";
    element.classList.toggle("offline", !online);
    element.classList.toggle("chosen", name === chosen);
    element.querySelector(".on").textContent = online ? "online" : "offline";
    element.querySelector(".pos").textContent =
        "P" + (car.pos ?? "-") + (car.lap !== undefined ? " · lap " + car.lap : "");
    element.querySelector(".ll").textContent = "Fuel " + (typeof car.ll === "number" ? car.ll.toFixed(1) : "-") + " laps";
    element.querySelector(".lt").textContent = "Last " + lapTime(car.lt);
    element.querySelector(".bt").textContent = "Best " + lapTime(car.bt);
    for (const cell of element.querySelectorAll(".treads i")) {
      const text = car[cell.dataset.key];
      cell.textContent = typeof text === "string" ? text.split("|")[metric() ? 0 : 1] : "-";
      const colour = car[cell.dataset.key + "c"];
      cell.style.backgroundColor = typeof colour === "string" ? "#" + colour : "";
    }
  }

  function choose(name) {
    chosen = name;
    const url = new URL(location.href);
    url.searchParams.set("car", name);
    history.replaceState(null, "", url);
    document.body.classList.add("chosen");
    for (const other of cars.keys()) tile(other);
    $("chosen-car").textContent = name;
    show({ full: 1, v: carView(cars.get(name) || {}) });
  }

  // Takes a message of the stream; false when it is a single car's, for the one-car view.
  function take(message, apply, isMetric) {
    if (message.full) {
      if (!("league" in message.v)) {
        active = false;
        document.body.classList.remove("league");
        return false;
      }
      active = true;
      cars.clear();
      $("cars").textContent = "";
    }
    if (!active) return false;
    show = apply;
    metric = isMetric;
    document.body.classList.add("league");
    const changed = new Map();  // name -> changed keys of that car
    for (const [key, value] of Object.entries(message.v)) {
      const cut = key.indexOf(SEPARATOR);
      if (!key.startsWith("~") || cut < 0) continue;
      const name = key.slice(1, cut);
      const carKey = key.slice(cut + 1);
      if (!cars.has(name)) cars.set(name, {});
      const car = cars.get(name);
      if (value === null && (carKey.startsWith("L") || carKey.startsWith("lf"))) delete car[carKey];
      else car[carKey] = value;
      if (!changed.has(name)) changed.set(name, {});
      changed.get(name)[carKey] = value;
    }
    for (const name of changed.keys()) tile(name);
    $("league-count").textContent = cars.size === 1 ? "1 car" : cars.size + " cars";
    if (chosen !== null && cars.has(chosen)) {
      if (message.full || !document.body.classList.contains("chosen")) {
        choose(chosen);
      } else if (changed.has(chosen)) {
        const delta = changed.get(chosen);
        const car = cars.get(chosen);
        const view = {};
        for (const key of Object.keys(delta)) {
          if (key === "on") view.st = car.on === "offline" ? "caroffline" : car.st;
          else if (key !== "t") view[key] = delta[key];
        }
        if (Object.keys(view).length > 0) show({ v: view });
      }
    }
    return true;
  }

  function refresh() {
    for (const name of cars.keys()) tile(name);
  }

  return { take, refresh };
})();
