// The page of `kestvelqorctl --simulate serve` in Debian's chromium, as a
// keeper uses it: the live temperature and clock, Manual mode, W's slider to
// 50 %, then the board's status read back over the API; a schedule cell
// refused in the window's words, and one taken and shown. Screenshots at phone
// and desktop width go into the folder given. Then the "Verlauf" card over a
// simulated week (written by HISTORY_FIXTURE) on a phone: its ranges, the
// values under a finger and under the pointer. Then the same page from a
// listener that needs a token: its form, a wrong token, the right one.
//
//   node page_test.mjs KESTVELQORCTL SCREENSHOT_FOLDER HISTORY_FIXTURE
import { spawn, spawnSync } from "node:child_process";
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createInterface } from "node:readline";
import { chromium } from "playwright-core";

const [program, shots, historyFixture] = process.argv.slice(2);
if (!program || !shots || !historyFixture) {
  console.error("usage: node page_test.mjs KESTVELQORCTL SCREENSHOT_FOLDER HISTORY_FIXTURE");
  process.exit(2);
}
const browserPath = process.env.KESTVELQOR_CHROMIUM || "/usr/bin/chromium";
// Only a hang reaches these.
const hangMs = 20000;

function check(condition, message) {
  if (!condition) throw new Error(message);
}

// Starts the server on a free loopback port, with a board and folders of its own.
async function startServer(folder, options = ["--listen", "127.0.0.1:0"]) {
  const server = spawn(program, ["--simulate", "--json", "serve", ...options], {
    env: {
      ...process.env,
      KESTVELQOR_SIM_STATE: join(folder, "sim-state.ini"),
      XDG_CONFIG_HOME: join(folder, "config"),
      XDG_DATA_HOME: join(folder, "data"),
      XDG_RUNTIME_DIR: join(folder, "runtime"),
    },
    stdio: ["ignore", "pipe", "pipe"],
  });
  let log = "";
  server.stderr.on("data", (bytes) => (log += bytes));
  const firstLine = await new Promise((resolve, reject) => {
    const lines = createInterface({ input: server.stdout });
    const timer = setTimeout(() => reject(new Error("serve did not announce itself")), hangMs);
    lines.once("line", (line) => {
      clearTimeout(timer);
      resolve(line);
    });
    server.once("exit", (code) => reject(new Error(`serve ended with ${code}: ${log}`)));
  });
  const { port } = JSON.parse(firstLine);
  return { server, url: `http://127.0.0.1:${port}/`, log: () => log };
}

async function stopServer(server) {
  if (server.exitCode !== null) return server.exitCode;
  const ended = new Promise((resolve) => server.once("exit", (code) => resolve(code)));
  server.kill("SIGTERM");
  return ended;
}

async function waitForPictures(page) {
  await page.waitForFunction(
    () =>
      ["curve", "chart"].every((id) => {
        const image = document.getElementById(id);
        return image.complete && image.naturalWidth > 0;
      }),
    null,
    { timeout: hangMs }
  );
}

// A page that records script errors and failed loads as problems. The
// browser reports the refused requests of a page that still needs its token,
// and the refusals a test asks for (page.expectedRefusals); those are expected.
async function watchedPage(browser, problems, viewport, hasTouch = false) {
  const page = await browser.newPage({ viewport, hasTouch });
  page.setDefaultTimeout(hangMs);
  page.expectedRefusals = 0;
  page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
  page.on("console", (message) => {
    if (message.type() !== "error" || /status of 401/.test(message.text())) return;
    if (/status of 400/.test(message.text()) && page.expectedRefusals > 0) {
      page.expectedRefusals -= 1;
      return;
    }
    problems.push(`console: ${message.text()}`);
  });
  return page;
}

async function run(browser, folder) {
  const { server, url, log } = await startServer(folder);
  const problems = [];
  try {
    const page = await watchedPage(browser, problems, { width: 390, height: 844 });
    await page.goto(url);

    // Live: the temperature and the board's clock, and the clock moving on.
    const temperature = page.locator("#temperature");
    await page.waitForFunction(
      () => /^\d+,\d °C$/.test(document.getElementById("temperature").textContent)
    );
    const clock = page.locator("#clock");
    await page.waitForFunction(() =>
      /^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d$/.test(document.getElementById("clock").textContent)
    );
    const firstClock = await clock.textContent();
    await page.waitForFunction(
      (first) => document.getElementById("clock").textContent !== first,
      firstClock
    );
    console.log(`temperature ${await temperature.textContent()}, clock ${await clock.textContent()}`);

    // Manual mode enables the sliders, as in the window.
    const slider = page.getByRole("slider", { name: /^W/ });
    check(await slider.isDisabled(), "W's slider is enabled outside Manual mode");
    await page.getByRole("button", { name: "Manuell" }).click();
    await page.waitForFunction(
      () => document.querySelector('button[data-mode="manual"]').getAttribute("aria-pressed") === "true"
    );
    await page.waitForFunction(() => !document.getElementById("level-W").disabled);

    const levelSent = page.waitForResponse((response) => response.url().endsWith("/api/v1/level"));
    await slider.fill("50");
    const levelAnswer = await levelSent;
    check(levelAnswer.status() === 200, `the level was refused: ${levelAnswer.status()}`);

    // The board took it.
    const status = await (await fetch(`${url}api/v1/status`)).json();
    check(status.mode === "manual", `the board's mode is ${status.mode}`);
    const white = status.levels.find((level) => level.channel === "W");
    check(Math.abs(white.percent - 50) < 0.05, `W is at ${white.percent} %`);
    console.log(`status: mode ${status.mode}, W ${white.percent} %`);

    // A schedule cell: a value out of range is refused in the window's words
    // and changes nothing; a value taken is shown at once.
    const cellOfLine2 = (field) =>
      page.locator("#schedule-table tbody tr").nth(2).locator(`input.cell-${field}`);
    const linePut = () =>
      page.waitForResponse(
        (response) =>
          response.url().endsWith("/api/v1/schedule/2") && response.request().method() === "PUT"
      );
    await cellOfLine2("W").waitFor();
    page.expectedRefusals = 1;
    let sent = linePut();
    await cellOfLine2("W").fill("101");
    await cellOfLine2("W").press("Enter");
    const refused = await sent;
    const refusal = await refused.json();
    check(
      refused.status() === 400 && refusal.code === "out_of_range" && refusal.field === "W",
      `the level 101 % got ${refused.status()} ${JSON.stringify(refusal)}`
    );
    await page.waitForFunction(
      () => document.getElementById("message").textContent === "Ungültiger Wert: erlaubt sind 0 bis 100"
    );
    sent = linePut();
    await cellOfLine2("time").fill("10:30");
    await cellOfLine2("time").press("Enter");
    check((await sent).status() === 200, "the time 10:30 was refused");
    await page.waitForFunction(
      () =>
        document.querySelectorAll("#schedule-table tbody tr")[2].querySelector("input.cell-time")
          .value === "10:30"
    );
    const line2 = (await (await fetch(`${url}api/v1/schedule`)).json()).lines[2];
    check(line2.hour === 10 && line2.minute === 30, `line 2 is ${line2.hour}:${line2.minute}`);
    console.log("schedule: 101 % refused in the window's words, 10:30 taken");

    await waitForPictures(page);
    await page.locator("#schedule-table tbody tr").first().waitFor();
    await page.locator("#sun div").first().waitFor();
    await page.screenshot({ path: join(shots, "serve-phone.png"), fullPage: true });
    const phoneWidth = await page.evaluate(() => document.documentElement.scrollWidth);
    check(phoneWidth <= 390, `the page is ${phoneWidth} px wide on a 390 px phone`);

    await page.setViewportSize({ width: 1280, height: 900 });
    await page.reload();
    await page.waitForFunction(
      () => /°C$/.test(document.getElementById("temperature").textContent)
    );
    await waitForPictures(page);
    await page.locator("#schedule-table tbody tr").first().waitFor();
    await page.locator("#sun div").first().waitFor();
    await page.screenshot({ path: join(shots, "serve-desktop.png"), fullPage: true });
    console.log(`screenshots in ${shots}`);
    check(problems.length === 0, problems.join("\n"));
  } finally {
    const code = await stopServer(server);
    if (code !== 0) console.error(`serve ended with ${code}:\n${log()}`);
    check(code === 0, `serve did not end cleanly on SIGTERM (${code})`);
  }
}

// The "Verlauf" card over the simulated week: the last day at first, every
// range on its button, the values of the newest bucket, then of the moment
// under a finger and under the pointer; at phone width, and nothing fetched
// from anywhere but the server.
async function runHistory(browser, folder) {
  const { server, url, log } = await startServer(folder);
  const problems = [];
  try {
    const page = await watchedPage(browser, problems, { width: 390, height: 844 }, true);
    const foreign = [];
    page.on("request", (request) => {
      if (!request.url().startsWith(url) && !request.url().startsWith(url.replace("http", "ws")))
        foreign.push(request.url());
    });
    const firstHistory = page.waitForResponse((response) =>
      /\/api\/v1\/history\?/.test(response.url())
    );
    await page.goto(url);
    const first = await firstHistory;
    check(first.status() === 200, `the history answered ${first.status()}`);
    check(/from=-24h/.test(first.url()), `the card opened with ${first.url()}`);
    const card = page.locator("#history");
    await card.scrollIntoViewIfNeeded();
    const pressed = () =>
      page.evaluate(() => document.querySelector('button.range[aria-pressed="true"]').textContent);
    check((await pressed()) === "24 Std.", `the card opened on ${await pressed()}`);

    // Every range on its button, the week last.
    for (const [name, word] of [
      ["6 Std.", "-6h"],
      ["30 Tage", "-30d"],
      ["1 Jahr", "-1y"],
      ["7 Tage", "-7d"],
    ]) {
      const answered = page.waitForResponse((response) =>
        response.url().includes(`/api/v1/history?from=${word}&`)
      );
      await page.getByRole("button", { name, exact: true }).click();
      const answer = await answered;
      check(answer.status() === 200, `${name} answered ${answer.status()}`);
      const points = (await answer.json()).points.length;
      check(points > 0, `${name} has no points`);
      check((await pressed()) === name, `${name} is not shown as chosen`);
      console.log(`history ${name}: ${points} points`);
    }
    await page.waitForFunction(() => document.querySelectorAll("#history canvas").length >= 4);

    // The newest bucket's values, then the moment under a finger.
    const reading = () =>
      page.evaluate(() => ({
        time: document.getElementById("history-time").textContent,
        water: document.getElementById("history-temperature-value").textContent,
        white: document.getElementById("history-level-W").textContent,
      }));
    const newest = await reading();
    check(/°C \(\d+,\d bis \d+,\d\)$/.test(newest.water), `the temperature reads ${newest.water}`);
    check(/^\d+,\d %$/.test(newest.white), `white reads ${newest.white}`);
    const box = await page.locator("#history-temperature").boundingBox();
    await page.touchscreen.tap(box.x + box.width * 0.3, box.y + box.height / 2);
    const timeChangedFrom = (time) =>
      page.waitForFunction(
        (before) => document.getElementById("history-time").textContent !== before,
        time
      );
    await timeChangedFrom(newest.time);
    const touched = await reading();
    console.log(`finger: ${touched.time}, ${touched.water}, W ${touched.white}`);
    const levels = await page.locator("#history-levels").boundingBox();
    await page.mouse.move(levels.x + levels.width * 0.6, levels.y + levels.height / 2);
    await timeChangedFrom(touched.time);
    const pointed = await reading();
    console.log(`pointer: ${pointed.time}, ${pointed.water}, W ${pointed.white}`);
    check(
      (await page.evaluate(() => historyState.temperature.getSelection())) ===
        (await page.evaluate(() => historyState.levels.getSelection())),
      "the two charts mark different moments"
    );
    // The levels in the channels' colours of GET channels (white drawn grey on the white card).
    const channels = (await (await fetch(`${url}api/v1/channels`)).json()).channels;
    const colours = await page.evaluate(() => historyState.levels.getColors());
    check(
      channels.slice(1).every((channel, index) => channel.color === colours[index + 1]),
      `the levels are drawn in ${colours}, the channels are ${channels.map((c) => c.color)}`
    );

    const width = await page.evaluate(() => document.documentElement.scrollWidth);
    check(width <= 390, `the page is ${width} px wide on a 390 px phone`);
    await page.mouse.move(0, 0);
    await card.screenshot({ path: join(shots, "serve-history-phone.png") });
    check(foreign.length === 0, `fetched from elsewhere: ${foreign.join(", ")}`);
    check(problems.length === 0, problems.join("\n"));
  } finally {
    const code = await stopServer(server);
    if (code !== 0) console.error(`serve ended with ${code}:\n${log()}`);
    check(code === 0, `serve did not end cleanly on SIGTERM (${code})`);
  }
}

// On an address other than loopback the page first asks for the token.
async function runWithToken(browser, folder) {
  const token = "token-of-the-browser-test-0123456789";
  const tokenFile = join(folder, "token");
  writeFileSync(tokenFile, `${token}\n`, { mode: 0o600 });
  const { server, url } = await startServer(folder, [
    "--listen",
    "0.0.0.0:0",
    "--token-file",
    tokenFile,
  ]);
  const problems = [];
  try {
    const page = await watchedPage(browser, problems, { width: 390, height: 844 });
    await page.goto(url);
    const input = page.getByLabel("Zugangsschlüssel (Token)");
    await input.waitFor();
    await input.fill("a-wrong-token-0123456789");
    await page.getByRole("button", { name: "Anmelden" }).click();
    await page.waitForFunction(
      () => document.getElementById("token-error").textContent === "Falscher Zugangsschlüssel."
    );
    await input.fill(token);
    await page.getByRole("button", { name: "Anmelden" }).click();
    // The page reloads with the cookie: the board's status, and the live feed.
    await page.waitForFunction(() => /°C$/.test(document.getElementById("temperature").textContent));
    const firstClock = await page.locator("#clock").textContent();
    await page.waitForFunction(
      (first) => document.getElementById("clock").textContent !== first,
      firstClock
    );
    check(await page.locator("#token-form").isHidden(), "the token form is still shown");
    const answer = await fetch(`${url}api/v1/status`);
    check(answer.status === 401, `the API answered ${answer.status} without the token`);
    console.log("token form: refused a wrong token, took the right one");
    check(problems.length === 0, problems.join("\n"));
  } finally {
    check((await stopServer(server)) === 0, "serve with a token did not end cleanly");
  }
}

async function main() {
  const folder = mkdtempSync(join(tmpdir(), "kestvelqor-browser-"));
  mkdirSync(shots, { recursive: true });
  mkdirSync(join(folder, "runtime"), { mode: 0o700 });
  // The week before now, in the file serve records into by default.
  mkdirSync(join(folder, "data", "kestvelqor"), { recursive: true });
  const historyFile = join(folder, "data", "kestvelqor", "history.sqlite");
  const fixture = spawnSync(historyFixture, [historyFile], { encoding: "utf8" });
  check(fixture.status === 0, `the history fixture failed: ${fixture.stderr}`);
  const args = process.getuid && process.getuid() === 0 ? ["--no-sandbox"] : [];
  const browser = await chromium.launch({ executablePath: browserPath, args });
  try {
    await run(browser, folder);
    await runHistory(browser, folder);
    await runWithToken(browser, folder);
  } finally {
    await browser.close();
    rmSync(folder, { recursive: true, force: true });
  }
}

main().then(
  () => console.log("browser test passed"),
  (error) => {
    console.error(`browser test failed: ${error.message}`);
    process.exit(1);
  }
);
