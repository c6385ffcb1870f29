// What the browser tests share: children read line by line, checks counted, the page polled, and the
// machine's chromium driven by puppeteer-core from the packages folder.
import { spawn } from "node:child_process";
import { createRequire } from "node:module";
import path from "node:path";
import readline from "node:readline";

export function checks() {
  const counts = { passed: 0, failed: 0 };
  const check = (what, ok, detail = "") => {
    counts[ok ? "passed" : "failed"] += 1;
    console.log(`${ok ? "ok" : "FAILED"}: ${what}${ok ? "" : " " + detail}`);
  };
  return { counts, check };
}

// A child whose standard output is read line by line; ask() writes a command and waits for one answer.
// Standard error is kept in `err` as it comes.
export function start(command, args, options = {}) {
  const child = spawn(command, args, { stdio: ["pipe", "pipe", "pipe"], ...options });
  const lines = readline.createInterface({ input: child.stdout });
  const waiting = [];
  const queued = [];
  const handle = { child, err: "" };
  child.stderr.on("data", (data) => (handle.err += data));
  lines.on("line", (line) => (waiting.length ? waiting.shift()(line) : queued.push(line)));
  handle.next = (timeoutMs = 15000) =>
    new Promise((resolve, reject) => {
      if (queued.length) return resolve(queued.shift());
      const timer = setTimeout(() => reject(new Error(`${command}: no line within ${timeoutMs} ms`)), timeoutMs);
      waiting.push((line) => {
        clearTimeout(timer);
        resolve(line);
      });
    });
  handle.ask = async (line) => {
    child.stdin.write(line + "\n");
    return handle.next();
  };
  handle.ended = () =>
    new Promise((resolve) => (child.exitCode !== null || child.signalCode !== null ? resolve() : child.once("exit", resolve)));
  return handle;
}

export async function portOf(process) {
  const line = await process.next();
  const match = /^listening on port (\d+)$/.exec(line);
  if (!match) throw new Error(`unexpected first line: ${line}`);
  return Number(match[1]);
}

// Polls the page until `predicate` holds; the time it took in ms, or -1 after `limitMs`.
export async function waitFor(page, predicate, arg, limitMs) {
  const started = Date.now();
  try {
    await page.waitForFunction(predicate, { timeout: limitMs, polling: 20 }, arg);
    return Date.now() - started;
  } catch {
    return -1;
  }
}

// Polls `condition` (sync or async) every 50 ms; the time it took, or -1 after `limitMs`.
export async function within(limitMs, condition) {
  const started = Date.now();
  while (Date.now() - started <= limitMs) {
    if (await condition()) return Date.now() - started;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return -1;
}

export async function launchBrowser(packagesFolder, profileFolder) {
  const require = createRequire(path.join(path.resolve(packagesFolder), "package.json"));
  const puppeteer = require("puppeteer-core");
  return puppeteer.launch({
    executablePath: process.env.VELMORA_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: profileFolder,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
}

export async function stopAll(children) {
  for (const child of children.reverse()) {
    if (child.exitCode === null && child.signalCode === null) child.kill("SIGTERM");
    await new Promise((resolve) =>
      child.exitCode !== null || child.signalCode !== null ? resolve() : child.once("exit", resolve));
  }
}
