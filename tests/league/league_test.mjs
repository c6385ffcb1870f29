// A team on one page, for real: a Mosquitto broker with a password file and a TLS listener (its CA and
// certificate made here with openssl), two stand-ins on two virtual X servers, each with its
// velmora-cli publish, mosquitto_sub reading the topics, velmora-cli web --broker and the page in the
// machine's chromium; then a publisher killed, the broker restarted, and the same against a NATS server's
// MQTT listener. Everything on 127.0.0.1.
// Usage: node league_test.mjs VELMORA_SIM VELMORA_CLI PACKAGES_FOLDER ARTEFACT_FOLDER
import { execFileSync, spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import net from "node:net";
import { tmpdir, userInfo } from "node:os";
import path from "node:path";
import { checks, launchBrowser, portOf, start, stopAll, waitFor, within } from "../web/browser/harness.mjs";

const [simPath, cliPath, packagesFolder, artefactFolder] = process.argv.slice(2);
const { counts, check } = checks();
const children = [];
const scratch = mkdtempSync(path.join(tmpdir(), "velmora-league-"));
const file = (name) => path.join(scratch, name);
const KEEP_ALIVE_S = 5;

function track(handle) {
  children.push(handle.child);
  return handle;
}

async function freePort() {
  const server = net.createServer();
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return port;
}

async function xServer() {
  const child = spawn("Xvfb", ["-displayfd", "3", "-noreset", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                      { stdio: ["ignore", "ignore", "ignore", "pipe"] });
  children.push(child);
  const number = await new Promise((resolve, reject) => {
    let text = "";
    child.stdio[3].on("data", (data) => {
      text += data;
      if (text.includes("\n")) resolve(text.trim());
    });
    setTimeout(() => reject(new Error("Xvfb did not start")), 10000);
  });
  return ":" + number;
}

function rssKiB(pid) {
  const line = readFileSync(`/proc/${pid}/status`, "utf8").split("\n").find((l) => l.startsWith("VmRSS:"));
  return Number(line.split(/\s+/)[1]);
}

// The CA, and the broker's certificate for 127.0.0.1 signed by it.
function makeCertificates() {
  const openssl = (...args) => execFileSync("openssl", args, { cwd: scratch, stdio: "pipe" });
  openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
          "-subj", "/CN=Velmora test CA");
  openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "broker.key", "-out", "broker.csr",
          "-subj", "/CN=127.0.0.1");
  writeFileSync(file("san.ext"), "subjectAltName=IP:127.0.0.1\n");
  openssl("x509", "-req", "-in", "broker.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
          "-out", "broker.pem", "-days", "2", "-extfile", "san.ext");
}

function startMosquitto(plainPort, tlsPort) {
  writeFileSync(file("mosquitto.conf"), [
    // Started as root, the broker would become the user "mosquitto", who may not read this folder.
    `user ${userInfo().username}`,
    "per_listener_settings false", "allow_anonymous false", `password_file ${file("passwd")}`,
    `listener ${plainPort} 127.0.0.1`,
    `listener ${tlsPort} 127.0.0.1`, `cafile ${file("ca.pem")}`, `certfile ${file("broker.pem")}`,
    `keyfile ${file("broker.key")}`, ""].join("\n"));
  return track(start("mosquitto", ["-c", file("mosquitto.conf")]));
}

// Every line mosquitto_sub prints, "TOPIC PAYLOAD".
function subscribe(port, login) {
  const sub = track(start("mosquitto_sub", ["-h", "127.0.0.1", "-p", String(port), ...login, "-v", "-t", "velmora/#"]));
  sub.lines = [];
  const read = async () => {
    for (;;) {
      try {
        sub.lines.push(await sub.next(600000));
      } catch {
        return;
      }
    }
  };
  read();
  return sub;
}

function messages(sub, topic) {
  return sub.lines.filter((line) => line.startsWith(topic + " ")).map((line) => line.slice(topic.length + 1));
}

async function standIn(display, commands) {
  const sim = track(start(simPath, ["--title", "Race 07"], { env: { ...process.env, DISPLAY: display } }));
  const ready = await sim.next();
  if (!ready.startsWith("ready")) throw new Error(`velmora-sim: ${ready}`);
  for (const command of commands) {
    const answer = await sim.ask(command);
    if (answer !== "ok") throw new Error(`velmora-sim: ${command}: ${answer}`);
  }
  return sim;
}

function publisher(display, car, url, extra = [], env = {}) {
  return track(start(cliPath, ["publish", "--broker", url, "--car", car, "--keep-alive", String(KEEP_ALIVE_S),
                               ...extra],
                     { env: { ...process.env, DISPLAY: display, ...env } }));
}

function run(args, env = {}) {
  try {
    execFileSync(cliPath, args, { env: { ...process.env, ...env }, stdio: "pipe", timeout: 30000 });
    return { status: 0, err: "" };
  } catch (error) {
    return { status: error.status, err: String(error.stderr) };
  }
}

const tileIs = ([car, text]) => document.querySelector(`.tile[data-car="${car}"] .on`)?.textContent === text;
const textIs = ([id, text]) => document.getElementById(id)?.textContent === text;

let browser;
try {
  makeCertificates();
  execFileSync("mosquitto_passwd", ["-c", "-b", file("passwd"), "team", "pit wall"]);
  writeFileSync(file("password"), "pit wall\n");
  const plainPort = await freePort();
  const tlsPort = await freePort();
  let broker = startMosquitto(plainPort, tlsPort);
  const listening = await within(5000, () => broker.err.includes("Opening ipv4 listen socket on port " + tlsPort));
  if (listening < 0) throw new Error(`mosquitto did not start: ${broker.err}`);
  const login = ["-u", "team", "-P", "pit wall"];
  const sub = subscribe(plainPort, login);

  const displayA = await xServer();
  const displayB = await xServer();
  const simA = await standIn(displayA, ["pause", "set FInCokpit 1", "set FEau 370", "session 1 1800 -1"]);
  const simB = await standIn(displayB, ["pause", "set FInCokpit 1", "set FEau 360"]);
  const tlsUrl = `mqtts://team@127.0.0.1:${tlsPort}`;
  const plainUrl = `mqtt://team@127.0.0.1:${plainPort}`;
  let alpha = publisher(displayA, "alpha", tlsUrl, ["--ca", file("ca.pem"), "--password-file", file("password")]);
  const beta = publisher(displayB, "beta", plainUrl, [], { VELMORA_MQTT_PASSWORD: "pit wall" });
  check("alpha publishes over TLS", (await alpha.next()) === "publishing velmora/alpha");
  check("beta publishes", (await beta.next()) === "publishing velmora/beta");

  // What any subscriber sees, as the README documents it.
  const live = (text) => JSON.parse(text).v?.st === "ok";
  const changedWater = (text) => JSON.parse(text).v?.wa?.startsWith("88|");
  await within(5000, () => messages(sub, "velmora/alpha/state").some(live) &&
                           messages(sub, "velmora/beta/state").some(live));
  await new Promise((resolve) => setTimeout(resolve, 500));
  await simB.ask("set FEau 362");  // the stand-ins stand still: a change makes a delta
  const seen = await within(5000, () => messages(sub, "velmora/beta/delta").some(changedWater));
  check("mosquitto_sub sees both cars' status online", messages(sub, "velmora/alpha/status").includes("online") &&
        messages(sub, "velmora/beta/status").includes("online"));
  const state = JSON.parse(messages(sub, "velmora/alpha/state").find(live) ?? "{}");
  check("a state is the time and every key", Number.isInteger(state.t) && state.v?.wa?.startsWith("96|") &&
        state.v?.st === "ok" && Object.keys(state.v).length > 60, JSON.stringify(state).slice(0, 200));
  const delta = seen >= 0 ? JSON.parse(messages(sub, "velmora/beta/delta").find(changedWater)) : {};
  check("a delta holds only what changed", Number.isInteger(delta.t) && Object.keys(delta.v).length < 10,
        JSON.stringify(delta).slice(0, 200));
  await simA.ask("line 95.5");
  const lapSeen = await within(8000, () => messages(sub, "velmora/alpha/laps").length > 0);
  const lap = lapSeen >= 0 ? JSON.parse(messages(sub, "velmora/alpha/laps")[0]) : {};
  check("a completed lap on laps", lap.lap === 1 && lap.time === 95.5 && Number.isInteger(lap.t),
        JSON.stringify(lap));

  const wrong = run(["publish", "--broker", plainUrl, "--car", "gamma"], { DISPLAY: displayB, VELMORA_MQTT_PASSWORD: "wrong" });
  check("a wrong password is refused with status 9", wrong.status === 9 && wrong.err.includes("refused the login"),
        `(${wrong.status}: ${wrong.err})`);
  const closed = await freePort();
  const nowhere = run(["publish", "--broker", `mqtt://127.0.0.1:${closed}`, "--car", "gamma"], { DISPLAY: displayB });
  check("an unreachable broker exits with status 8", nowhere.status === 8 && nowhere.err.includes("cannot reach"),
        `(${nowhere.status}: ${nowhere.err})`);

  const relay = track(start(cliPath, ["web", "--broker", tlsUrl, "--ca", file("ca.pem"), "--password-file",
                                      file("password"), "--http", "0"]));
  const relayPort = await portOf(relay);
  browser = await launchBrowser(packagesFolder, file("profile"));
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  await page.goto(`http://127.0.0.1:${relayPort}/`, { waitUntil: "load" });
  check("the league page shows both cars online",
        (await waitFor(page, tileIs, ["alpha", "online"], 8000)) >= 0 &&
        (await waitFor(page, tileIs, ["beta", "online"], 8000)) >= 0);
  const treads = await page.$eval('.tile[data-car="alpha"] .treads i', (cell) =>
    [cell.textContent, getComputedStyle(cell).backgroundColor]);
  check("a tile shows tyre temperatures in their colours", /^\d+$/.test(treads[0]) && treads[1] !== "rgba(0, 0, 0, 0)",
        JSON.stringify(treads));
  await simB.ask("set FEau 365");
  await simB.ask("set FPneuAvantGauche.FTempMilieu 380");
  const tileLive = await waitFor(page, ([car, text]) =>
    document.querySelector(`.tile[data-car="${car}"] .treads i[data-key="flm"]`)?.textContent === text,
  ["beta", "107"], 2000);
  check(`a tile follows its car (${tileLive} ms)`, tileLive >= 0);
  await page.click('.tile[data-car="alpha"]');
  check("choosing a car shows its view", (await waitFor(page, textIs, ["wa", "96"], 3000)) >= 0);
  await simA.ask("set FEau 380");
  const follows = await waitFor(page, textIs, ["wa", "106"], 2000);
  check(`the chosen car follows its stand-in (${follows} ms)`, follows >= 0);
  await page.click('.tile[data-car="beta"]');
  check("another car's view", (await waitFor(page, textIs, ["wa", "91"], 3000)) >= 0);
  await page.screenshot({ path: path.join(artefactFolder, "league.png"), fullPage: true });

  // A publisher that dies says nothing: the broker's last will tells the page within the keep-alive.
  alpha.child.kill("SIGKILL");
  const offline = await waitFor(page, tileIs, ["alpha", "offline"], KEEP_ALIVE_S * 1500 + 4000);
  check(`a killed publisher's tile turns offline (${offline} ms, keep-alive ${KEEP_ALIVE_S} s)`, offline >= 0);
  await simB.ask("set FEau 375");
  check("the other car goes on", (await waitFor(page, textIs, ["wa", "101"], 2000)) >= 0 &&
        (await waitFor(page, tileIs, ["beta", "online"], 1000)) >= 0);

  // The broker goes and comes back: every client connects again by itself.
  alpha = publisher(displayA, "alpha", tlsUrl, ["--ca", file("ca.pem"), "--password-file", file("password")]);
  await alpha.next();
  await waitFor(page, tileIs, ["alpha", "online"], 5000);
  const memory = [alpha, beta, relay].map((handle) => rssKiB(handle.child.pid));
  const connections = [alpha, beta].map((handle) => (handle.err.match(/connected to/g) || []).length);
  broker.child.kill("SIGTERM");
  await broker.ended();
  // A lap completed while the broker is away waits for it; live values meanwhile are dropped.
  await simA.ask("line 97.25");
  await new Promise((resolve) => setTimeout(resolve, 2000));
  broker = startMosquitto(plainPort, tlsPort);
  await within(5000, () => broker.err.includes("Opening ipv4 listen socket on port " + plainPort));
  const afterRestart = subscribe(plainPort, login);
  const back = await within(20000, () => [alpha, beta].every((handle, i) =>
    (handle.err.match(/connected to/g) || []).length > connections[i]));
  check(`both publishers are back after the broker's restart (${back} ms)`, back >= 0);
  const keptLap = await within(5000, () => messages(afterRestart, "velmora/alpha/laps")
    .some((text) => JSON.parse(text).lap === 2 && JSON.parse(text).time === 97.25));
  check("the lap completed while the broker was away arrives once it is back", keptLap >= 0,
        messages(afterRestart, "velmora/alpha/laps").join(" "));
  await simB.ask("set FEau 385");
  check("the page is live again", (await waitFor(page, textIs, ["wa", "111"], 15000)) >= 0 &&
        (await waitFor(page, tileIs, ["alpha", "online"], 5000)) >= 0);
  const grown = [alpha, beta, relay].map((handle, i) => rssKiB(handle.child.pid) - memory[i]);
  check("nothing crashed, memory stays bounded", [alpha, beta, relay].every((h) => h.child.exitCode === null) &&
        grown.every((kib) => kib < 4096), JSON.stringify(grown));

  // Another broker implementation: a NATS server's MQTT listener, no quirk of one broker relied on.
  const natsPort = await freePort();
  const natsMqtt = await freePort();
  writeFileSync(file("nats.conf"), [`listen: 127.0.0.1:${natsPort}`, "server_name: velmora_test",
                                    `jetstream { store_dir: "${file("jetstream")}" }`,
                                    `mqtt { listen: 127.0.0.1:${natsMqtt} }`, ""].join("\n"));
  const nats = track(start("nats-server", ["-c", file("nats.conf")]));
  if ((await within(10000, () => nats.err.includes("Server is ready"))) < 0) throw new Error(`nats: ${nats.err}`);
  const natsSub = subscribe(natsMqtt, []);
  const gamma = publisher(displayB, "gamma", `mqtt://127.0.0.1:${natsMqtt}`);
  check("publish to NATS", (await gamma.next()) === "publishing velmora/gamma");
  check("mosquitto_sub on NATS sees status and state",
        (await within(5000, () => messages(natsSub, "velmora/gamma/status").includes("online") &&
                                   messages(natsSub, "velmora/gamma/state").length > 0)) >= 0);
  const natsRelay = track(start(cliPath, ["web", "--broker", `mqtt://127.0.0.1:${natsMqtt}`, "--http", "0"]));
  const natsRelayPort = await portOf(natsRelay);
  await page.goto(`http://127.0.0.1:${natsRelayPort}/?car=gamma`, { waitUntil: "load" });
  check("the relay on NATS shows the car", (await waitFor(page, tileIs, ["gamma", "online"], 8000)) >= 0 &&
        (await waitFor(page, textIs, ["wa", "111"], 5000)) >= 0);
  gamma.child.kill("SIGTERM");
  await gamma.ended();
  check("a clean stop says offline", (await waitFor(page, tileIs, ["gamma", "offline"], 5000)) >= 0);
} catch (error) {
  counts.failed += 1;
  console.log(`FAILED: ${error.stack || error}`);
} finally {
  if (browser) await browser.close().catch(() => {});
  await stopAll(children);
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`league: ${counts.passed} passed, ${counts.failed} failed`);
process.exit(counts.failed === 0 ? 0 : 1);
