// The pit wall's charts in a real browser (the machine's chromium, headless, driven by puppeteer-core):
// live from velmora-sim -> velmora-cli serve -> velmora-cli web, for a viewer who was there and one who
// comes late, then the same laps recorded by velmora-cli record and shown by velmora-cli web --db.
// Usage: node charts_test.mjs VELMORA_SIM VELMORA_CLI PACKAGES_FOLDER ARTEFACT_FOLDER
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import readline from "node:readline";

const [simPath, cliPath, packagesFolder, artefactFolder] = process.argv.slice(2);
const require = createRequire(path.join(path.resolve(packagesFolder), "package.json"));
const puppeteer = require("puppeteer-core");

let passed = 0;
let failed = 0;
const children = [];
const scratch = mkdtempSync(path.join(tmpdir(), "velmora-charts-"));

function check(what, ok, detail = "") {
  if (ok) {
    passed += 1;
    console.log(`ok: ${what}`);
  } else {
    failed += 1;
    console.log(`FAILED: ${what} ${detail}`);
  }
}

// A child whose standard output is read line by line; ask() writes a command and waits for one answer.
function start(command, args) {
  const child = spawn(command, args, { stdio: ["pipe", "pipe", "inherit"] });
  children.push(child);
  const lines = readline.createInterface({ input: child.stdout });
  const waiting = [];
  const queued = [];
  lines.on("line", (line) => (waiting.length ? waiting.shift()(line) : queued.push(line)));
  const next = (timeoutMs = 15000) =>
    new Promise((resolve, reject) => {
      if (queued.length) return resolve(queued.shift());
      const timer = setTimeout(() => reject(new Error(`${command}: no line within ${timeoutMs} ms`)), timeoutMs);
      waiting.push((line) => {
        clearTimeout(timer);
        resolve(line);
      });
    });
  return { child, next, ask: async (line) => { child.stdin.write(line + "\n"); return next(); } };
}

async function stop(process) {
  process.child.kill("SIGTERM");
  await new Promise((resolve) => (process.child.exitCode !== null ? resolve() : process.child.once("exit", resolve)));
  return process.child.exitCode;
}

async function portOf(process) {
  const line = await process.next();
  const match = /^listening on port (\d+)$/.exec(line);
  if (!match) throw new Error(`unexpected first line: ${line}`);
  return Number(match[1]);
}

async function waitFor(page, predicate, arg, limitMs) {
  try {
    await page.waitForFunction(predicate, { timeout: limitMs, polling: 50 }, arg);
    return true;
  } catch {
    return false;
  }
}

const lapPoints = () => document.querySelectorAll("#chart-laps circle.point").length;
const lapRows = () => document.querySelectorAll("#laps tr").length;
const tyreLine = () => document.querySelector("#chart-tyres polyline.fl")?.getAttribute("points") || "";
const statusIs = (status) => document.getElementById("status")?.className === status;

async function openPage(browser, port) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1000 });
  await page.goto(`http://127.0.0.1:${port}/`, { waitUntil: "load" });
  return page;
}

let browser;
try {
  const sim = start(simPath, ["--time-scale", "10"]);
  const ready = await sim.next();
  if (!ready.startsWith("ready")) throw new Error(`velmora-sim: ${ready}`);
  const serve = start(cliPath, ["serve", "--port", "0", "--bind", "127.0.0.1", "--trace-log",
                                path.join(scratch, "protocole.txt")]);
  const servePort = await portOf(serve);
  const db = path.join(scratch, "history.sqlite");
  // The server keeps one client, the relay: the recorder reads the stand-in itself, as beside a dashboard.
  const recorder = start(cliPath, ["record", "--db", db]);
  const web = start(cliPath, ["web", "--from", `127.0.0.1:${servePort}`, "--http", "0"]);
  const webPort = await portOf(web);

  browser = await puppeteer.launch({
    executablePath: process.env.VELMORA_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: path.join(scratch, "profile"),
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  const page = await openPage(browser, webPort);
  const foreign = [];
  page.on("request", (request) => {
    if (new URL(request.url()).hostname !== "127.0.0.1") foreign.push(request.url());
  });
  check("the page comes live", await waitFor(page, statusIs, "ok", 10000));

  // The stand-in's car drives its laps at ten times real time.
  check("two laps completed", await waitFor(page, () => document.querySelectorAll("#laps tr").length >= 2,
                                            undefined, 90000));
  const [points, rows] = [await page.evaluate(lapPoints), await page.evaluate(lapRows)];
  check(`the lap chart has one point per completed lap (${points} for ${rows})`, points === rows && points >= 2);
  const best = await page.$$eval("#chart-laps circle.best", (circles) => circles.length);
  check("the best lap is marked", best === 1, `(${best} marked)`);
  check("fuel used per lap is drawn", await waitFor(page, () => document.querySelectorAll("#chart-fuel rect").length >= 1,
                                                    undefined, 30000));

  const before = await page.evaluate(tyreLine);
  await new Promise((resolve) => setTimeout(resolve, 2500));
  const after = await page.evaluate(tyreLine);
  check("the tyre chart moves live", before !== "" && after !== before &&
        after.split(" ").length > before.split(" ").length, `(${before.split(" ").length} -> ${after.split(" ").length} points)`);
  check("water and oil are drawn", (await page.$$eval("#chart-engine polyline", (lines) => lines.length)) === 2);

  // Someone who opens the page now sees the minutes before at once, not from now on.
  const late = await openPage(browser, webPort);
  const history = after.split(" ").length;
  check("a late viewer gets the history in its first message",
        await waitFor(late, (n) => (document.querySelector("#chart-tyres polyline.fl")?.getAttribute("points") || "")
          .split(" ").length >= n, history, 3000));
  await page.screenshot({ path: path.join(artefactFolder, "pit_wall_charts.png"), fullPage: true });
  await late.close();

  check("the recorder stops cleanly", (await stop(recorder)) === 0);
  const recorded = start(cliPath, ["web", "--db", db, "--session", "1", "--http", "0"]);
  const recordedPort = await portOf(recorded);
  const replayPage = await openPage(browser, recordedPort);
  check("the recorded session is shown as such", await waitFor(replayPage, statusIs, "recorded", 5000));
  const recordedPoints = await replayPage.evaluate(lapPoints);
  const recordedRows = await replayPage.evaluate(lapRows);
  check(`the recorded lap chart has one point per lap (${recordedPoints} for ${recordedRows})`,
        recordedPoints === recordedRows && recordedPoints >= 2);
  check("the recorded tyre chart is drawn", (await replayPage.evaluate(tyreLine)).split(" ").length >= 5);
  await replayPage.screenshot({ path: path.join(artefactFolder, "pit_wall_recorded.png"), fullPage: true });
  check("nothing fetched from elsewhere", foreign.length === 0, foreign.join(" "));
} catch (error) {
  failed += 1;
  console.log(`FAILED: ${error.stack || error}`);
} finally {
  if (browser) await browser.close().catch(() => {});
  for (const child of children.reverse()) {
    if (child.exitCode === null) child.kill("SIGTERM");
    await new Promise((resolve) => (child.exitCode !== null ? resolve() : child.once("exit", resolve)));
  }
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`charts: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
