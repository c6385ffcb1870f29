// The pit-wall page in a real browser: the machine's chromium, headless, driven by puppeteer-core, against
// velmora-sim -> velmora-cli serve -> velmora-cli web on 127.0.0.1.
// Usage: node pit_wall_test.mjs VELMORA_SIM VELMORA_CLI PACKAGES_FOLDER ARTEFACT_FOLDER
import http from "node:http";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { checks, launchBrowser, portOf, start as startChild, stopAll, waitFor } from "./harness.mjs";

const [simPath, cliPath, packagesFolder, artefactFolder] = process.argv.slice(2);
const { counts, check } = checks();
const children = [];
const scratch = mkdtempSync(path.join(tmpdir(), "velmora-browser-"));

function start(command, args) {
  const handle = startChild(command, args);
  children.push(handle.child);
  return handle;
}

const textIs = ([id, text]) => document.getElementById(id)?.textContent === text;
const statusIs = (status) => document.getElementById("status")?.className === status;

let browser;
try {
  const sim = start(simPath, ["--time-scale", "10"]);
  const ready = await sim.next();
  if (!ready.startsWith("ready")) throw new Error(`velmora-sim: ${ready}`);
  const serve = start(cliPath, ["serve", "--port", "0", "--bind", "127.0.0.1", "--trace-log",
                                path.join(scratch, "protocole.txt")]);
  const servePort = await portOf(serve);
  const web = start(cliPath, ["web", "--from", `127.0.0.1:${servePort}`, "--http", "0", "--token", "pit wall"]);
  const webPort = await portOf(web);

  browser = await launchBrowser(packagesFolder, path.join(scratch, "profile"));
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  // Anything the page asks for besides the relay would be a file from elsewhere.
  const foreign = [];
  page.on("request", (request) => {
    const url = new URL(request.url());
    if (url.hostname !== "127.0.0.1") foreign.push(request.url());
  });
  await page.goto(`http://127.0.0.1:${webPort}/?token=pit+wall`, { waitUntil: "load" });
  check("the page comes live", (await waitFor(page, statusIs, "ok", 10000)) >= 0);

  // An exact situation: the session stands still while the stand-in is told what to hold.
  for (const command of ["pause", "set FEau 370", "set FPneuAvantGauche.FTempExterieure 340",
                         "set FPneuAvantGauche.FTempMilieu 360", "set FPneuAvantGauche.FTempInterieure 380",
                         "set FRapportVitesse 4"]) {
    const answer = await sim.ask(command);
    if (answer !== "ok") throw new Error(`velmora-sim: ${command}: ${answer}`);
  }
  check("water temperature", (await waitFor(page, textIs, ["wa", "96"], 3000)) >= 0);
  const tread = [["fl-o", "67", "rgb(0, 128, 255)"], ["fl-m", "87", "rgb(0, 255, 128)"],
                 ["fl-i", "107", "rgb(255, 64, 64)"]];
  for (const [id, text, colour] of tread) {
    const shown = await waitFor(page, textIs, [id, text], 3000);
    const background = await page.$eval(`#${id}`, (element) => getComputedStyle(element).backgroundColor);
    check(`front left tread ${id}: ${text} on ${colour}`, shown >= 0 && background === colour,
          `(shows ${await page.$eval(`#${id}`, (element) => element.textContent)} on ${background})`);
  }
  check("gear", (await waitFor(page, textIs, ["g", "4"], 3000)) >= 0);

  await sim.ask("line 95.5");
  const lap = await waitFor(page, () => [...document.querySelectorAll("#laps tr")]
    .some((row) => row.cells[1]?.textContent === "1:35.500"), undefined, 3000);
  check("a completed lap's row", lap >= 0);

  await sim.ask("set FEau 380");
  const seen = await waitFor(page, textIs, ["wa", "106"], 1000);
  check(`a change in the stand-in within one second (${seen} ms)`, seen >= 0);

  await page.screenshot({ path: path.join(artefactFolder, "pit_wall.png"), fullPage: true });

  await page.click("#units");
  check("imperial units on the switch", (await waitFor(page, textIs, ["wa", "224"], 2000)) >= 0);
  await page.reload({ waitUntil: "load" });
  check("the browser remembers the units", (await waitFor(page, textIs, ["wa", "224"], 5000)) >= 0);
  await page.click("#units");

  await sim.ask("close");
  check("the stand-in closing shows no data", (await waitFor(page, statusIs, "nodata", 5000)) >= 0);
  check("no data is said in words", (await page.$eval("#status", (e) => e.textContent)).includes("501 No data"));
  await sim.ask("open");
  check("its return brings the values back", (await waitFor(page, statusIs, "ok", 5000)) >= 0 &&
        (await waitFor(page, textIs, ["wa", "106"], 3000)) >= 0);

  check("nothing fetched from elsewhere", foreign.length === 0, foreign.join(" "));
  const refused = await (await fetch(`http://127.0.0.1:${webPort}/`)).status;
  check("the page without its token is refused", refused === 403, `(${refused})`);

  // The page opened by another of the relay's names streams as well.
  await page.goto(`http://localhost:${webPort}/?token=pit+wall`, { waitUntil: "load" });
  check("the page at localhost comes live", (await waitFor(page, statusIs, "ok", 10000)) >= 0);

  // Another site open in the same browser, which knows the relay's port and token, cannot read the stream.
  const other = http.createServer((request, response) => {
    response.writeHead(200, { "Content-Type": "text/html" });
    response.end("<!DOCTYPE html><title>another site</title>");
  });
  await new Promise((resolve) => other.listen(0, "127.0.0.1", resolve));
  try {
    await page.goto(`http://127.0.0.1:${other.address().port}/`, { waitUntil: "load" });
    const outcome = await page.evaluate((port) => new Promise((resolve) => {
      const socket = new WebSocket(`ws://127.0.0.1:${port}/stream?token=pit%20wall`);
      socket.onmessage = () => resolve("read the stream");
      socket.onclose = () => resolve("refused");
      setTimeout(() => resolve("no answer"), 5000);
    }), webPort);
    check("another site's page cannot open the stream", outcome === "refused", `(${outcome})`);
  } finally {
    other.close();
  }
} catch (error) {
  counts.failed += 1;
  console.log(`FAILED: ${error.stack || error}`);
} finally {
  if (browser) await browser.close().catch(() => {});
  await stopAll(children);
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`browser: ${counts.passed} passed, ${counts.failed} failed`);
process.exit(counts.failed === 0 ? 0 : 1);
