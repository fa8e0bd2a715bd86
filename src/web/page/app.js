// The tank's page: the live status over the WebSocket, the channels, mode,
// cloud and storm, the pictures, the schedule and the sun and moon figures,
// all through the board's JSON API of this server.
"use strict";

const api = "/api/v1/";
const channelLetters = ["W", "R", "G", "B"];
const refreshMs = 60000;

// Texts of the program's catalogue, where it has them; the page's own
// German texts otherwise.
let texts = {};
function text(key, fallback) {
  const value = texts[key];
  return typeof value === "string" && value !== key && value !== "" ? value : fallback;
}

const state = {
  status: null, // the last status the board gave
  channels: [], // names and colours of the four channels
  schedule: null,
  boardPresent: false,
  needsToken: false,
};

const $ = (id) => document.getElementById(id);

function element(tag, properties = {}, children = []) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(properties)) {
    if (name === "text") node.textContent = value;
    else if (name in node) node[name] = value;
    else node.setAttribute(name, value);
  }
  for (const child of children) node.append(child);
  return node;
}

// ---- Numbers and times as the window shows them (German style) ----

function decimal(value, digits) {
  return value.toLocaleString("de-DE", {
    minimumFractionDigits: digits,
    maximumFractionDigits: digits,
  });
}

// "2024-06-21T12:00:00" as "21.06.2024 12:00:00".
function clockText(iso) {
  const match = /^(\d{4})-(\d\d)-(\d\d)T(\d\d:\d\d:\d\d)$/.exec(iso || "");
  return match ? `${match[3]}.${match[2]}.${match[1]} ${match[4]}` : "–";
}

function modeText(mode) {
  const names = { manual: "ModeManual", auto: "ModeAuto", geo: "ModeGeo" };
  const fallback = { manual: "Manuell", auto: "Auto", geo: "Geo" };
  return names[mode] ? text(names[mode], fallback[mode]) : String(mode);
}

// ---- Talking to the server ----

class ApiError extends Error {
  constructor(status, message) {
    super(message);
    this.status = status;
  }
}

async function request(method, path, body) {
  const options = { method, headers: {}, credentials: "same-origin" };
  if (body !== undefined) {
    options.headers["Content-Type"] = "application/json";
    options.body = JSON.stringify(body);
  }
  let response;
  try {
    response = await fetch(api + path, options);
  } catch (error) {
    throw new ApiError(0, text("pageUnreachable", "Der Server ist nicht erreichbar."));
  }
  let answer = {};
  try {
    answer = await response.json();
  } catch (error) {
    answer = {};
  }
  if (response.status === 401) showTokenForm();
  if (!response.ok)
    throw new ApiError(response.status, answer.error || `HTTP ${response.status}`);
  return answer;
}

function showMessage(message, isError = true) {
  const node = $("message");
  node.textContent = message;
  node.classList.toggle("error", isError);
}

// Runs a change; its refusal is shown, the page's state read anew.
async function change(method, path, body) {
  try {
    const answer = await request(method, path, body);
    showMessage("", false);
    return answer;
  } catch (error) {
    showMessage(error.message);
    return null;
  }
}

// ---- Token form (only when the server requires a token) ----

function showTokenForm() {
  if (state.needsToken) return;
  state.needsToken = true;
  $("token-form").hidden = false;
  $("board").hidden = true;
  $("health").textContent = text("tokenNeeded", "Dieser Server verlangt einen Zugangsschlüssel.");
  $("token-input").focus();
}

async function submitToken(event) {
  event.preventDefault();
  try {
    await request("POST", "session", { token: $("token-input").value });
    location.reload();
  } catch (error) {
    $("token-error").textContent =
      error.status === 401 ? text("tokenWrong", "Falscher Zugangsschlüssel.") : error.message;
  }
}

// ---- Live status ----

function showStatus(status) {
  state.status = status;
  state.boardPresent = true;
  const health = $("health");
  health.textContent = status.health;
  health.classList.toggle("alarm", !!status.alarm);
  health.classList.remove("gone");
  $("clock").textContent = clockText(status.clock);
  const letters = status.activity ? ` ${status.activity}` : "";
  const saving = status.saving ? ` – ${text("Saving", "Speichere")}` : "";
  $("mode").textContent = modeText(status.mode) + letters + saving;
  $("temperature").textContent =
    status.waterTemperature === null || status.waterTemperature === undefined
      ? text("KestTHERMALNotConnected", "Kein Temperatursensor")
      : `${decimal(status.waterTemperature, 1)} °C`;
  $("voltage").textContent =
    status.inputVoltage === null || status.inputVoltage === undefined
      ? "–"
      : `${decimal(status.inputVoltage, 2)} V`;
  for (const button of document.querySelectorAll("button.mode"))
    button.setAttribute("aria-pressed", String(button.dataset.mode === status.mode));
  for (const level of status.levels || []) showLevel(level.channel, level.percent);
  enableControls();
}

function noBoardText() {
  return text("pageNoBoard", "Kein KestVELQOR angeschlossen – die Seite wartet auf das Gerät …");
}

function showBoardGone(message) {
  state.boardPresent = false;
  const health = $("health");
  health.textContent = message;
  health.classList.add("gone");
  health.classList.remove("alarm");
  enableControls();
}

function enableControls() {
  const present = state.boardPresent;
  const manual = present && state.status && state.status.mode === "manual";
  for (const button of document.querySelectorAll("#live button")) button.disabled = !present;
  for (const slider of document.querySelectorAll("input.level")) slider.disabled = !manual;
  for (const input of document.querySelectorAll("#schedule-table input"))
    input.disabled = !present;
}

let liveSocket = null;
function connectLive() {
  const scheme = location.protocol === "https:" ? "wss:" : "ws:";
  liveSocket = new WebSocket(`${scheme}//${location.host}${api}live`);
  liveSocket.onmessage = (message) => {
    let data;
    try {
      data = JSON.parse(message.data);
    } catch (error) {
      return;
    }
    if (data.event) {
      if (data.event === "connected") refreshAll();
      else if (data.event === "unplugged") showBoardGone(noBoardText());
      else showBoardGone(data.message);
    } else {
      const wasGone = !state.boardPresent;
      showStatus(data);
      if (wasGone && state.schedule === null) refreshAll();
    }
  };
  liveSocket.onclose = () => {
    if (state.needsToken) return;
    showBoardGone(text("pageReconnecting", "Verbindung zum Server unterbrochen – verbinde neu …"));
    setTimeout(connectLive, 3000);
  };
}

// ---- Channels ----

function channelName(index) {
  const channel = state.channels[index];
  return channel ? channel.name : channelLetters[index];
}

// A channel's colour as a mark on the page: white and other pale colours
// would vanish on the white card, so they are drawn grey.
function markColour(colour) {
  const match = /^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$/i.exec(colour || "");
  if (!match) return null;
  const [r, g, b] = match.slice(1).map((hex) => parseInt(hex, 16) / 255);
  return 0.2126 * r + 0.7152 * g + 0.0722 * b > 0.85 ? "#8a99a6" : colour;
}

function buildChannels() {
  const list = $("channel-list");
  list.replaceChildren();
  channelLetters.forEach((letter, index) => {
    const id = `level-${letter}`;
    const label = element("label", { htmlFor: id, text: channelName(index) });
    const value = element("output", { id: `${id}-value`, htmlFor: id, text: "–" });
    const slider = element("input", {
      id,
      type: "range",
      min: "0",
      max: "100",
      step: "0.5",
      value: "0",
      className: "level",
      disabled: true,
    });
    slider.dataset.channel = letter;
    slider.setAttribute("aria-label", channelName(index));
    const colour = markColour(state.channels[index] && state.channels[index].color);
    if (colour) slider.style.setProperty("accent-color", colour);
    slider.addEventListener("input", () => {
      value.textContent = `${decimal(Number(slider.value), 1)} %`;
    });
    slider.addEventListener("pointerdown", () => (slider.dataset.dragging = "1"));
    for (const end of ["pointerup", "pointercancel"])
      slider.addEventListener(end, () => delete slider.dataset.dragging);
    slider.addEventListener("change", async () => {
      delete slider.dataset.dragging;
      await change("POST", "level", { channel: letter, percent: Number(slider.value) });
    });
    const row = element("div", { className: "channel" }, [label, slider, value]);
    if (colour) row.style.setProperty("--channel-colour", colour);
    list.append(row);
  });
}

function showLevel(letter, percent) {
  const slider = $(`level-${letter}`);
  if (!slider) return;
  // A slider the keeper is moving keeps its place.
  if (!slider.dataset.dragging && document.activeElement !== slider) slider.value = percent;
  $(`level-${letter}-value`).textContent = `${decimal(percent, 1)} %`;
}

// ---- Pictures ----

function pictureSize(image, aspect) {
  const width = Math.round(
    Math.min(2000, Math.max(300, (image.parentElement.clientWidth || 600) * (devicePixelRatio || 1)))
  );
  return `${width}x${Math.max(50, Math.round(width * aspect))}`;
}

function refreshPictures() {
  const stamp = Date.now();
  const curve = $("curve");
  const chart = $("chart");
  curve.src = `${api}plot/curve.png?size=${pictureSize(curve, 0.6)}&t=${stamp}`;
  chart.src = `${api}plot/chart.png?size=${pictureSize(chart, 0.5)}&t=${stamp}`;
}

// ---- Schedule ----

const flagColumns = [
  ["display", "Display", "Display"],
  ["clouds", "Clouds", "Wolken"],
  ["storms", "Storms", "Gewitter"],
];

function timeText(line) {
  return `${String(line.hour).padStart(2, "0")}:${String(line.minute).padStart(2, "0")}`;
}

function numberText(value) {
  return value === null || value === undefined ? "" : String(value).replace(".", ",");
}

// A cell that sends its field when left after an edit.
function cellInput(line, field, value, label, kind = "text") {
  const input = element("input", { type: kind, className: `cell cell-${field}` });
  if (kind === "checkbox") input.checked = value;
  else input.value = value;
  input.setAttribute("aria-label", `${text("Line", "Zeile")} ${line.line}: ${label}`);
  input.addEventListener("change", async () => {
    const fieldValue = kind === "checkbox" ? input.checked : input.value.trim();
    const answer = await change("PUT", `schedule/${line.line}`, { [field]: fieldValue });
    if (!answer) input.classList.add("refused");
    await refreshSchedule();
  });
  return input;
}

function buildSchedule() {
  const table = $("schedule-table");
  const schedule = state.schedule;
  const head = table.tHead;
  const body = table.tBodies[0];
  const headers = [
    text("Line", "Zeile"),
    text("Time", "Zeit"),
    text("Altitude", "Höhe"),
    ...channelLetters.map((letter, index) => channelName(index)),
    ...flagColumns.map(([, key, fallback]) => text(key, fallback)),
    text("Timer", "Timer"),
  ];
  head.replaceChildren(
    element(
      "tr",
      {},
      headers.map((title) => element("th", { scope: "col", text: title }))
    )
  );
  body.replaceChildren();
  if (!schedule) return;
  for (const line of schedule.lines) {
    const row = element("tr", {}, [element("th", { scope: "row", text: String(line.line) })]);
    if (line.line === schedule.currentLine) row.className = "current";
    const cells = [
      cellInput(line, "time", timeText(line), headers[1]),
      cellInput(line, "alt", numberText(line.altitude), headers[2]),
      ...line.levels.map((percent, index) =>
        cellInput(line, channelLetters[index], numberText(percent), headers[3 + index])
      ),
      ...flagColumns.map(([field], index) =>
        cellInput(line, field, line[field], headers[7 + index], "checkbox")
      ),
      cellInput(line, "timer", String(line.timer), headers[10]),
    ];
    for (const cell of cells) row.append(element("td", {}, [cell]));
    body.append(row);
  }
  enableControls();
}

// The server keeps the schedule as last read or written; fresh reads the
// board's again (the page opens, the board comes back: another program may
// have changed it meanwhile).
async function refreshSchedule(fresh = false) {
  try {
    state.schedule = await request("GET", fresh ? "schedule?fresh=1" : "schedule");
  } catch (error) {
    state.schedule = null;
    if (error.status !== 401) showMessage(error.message);
  }
  buildSchedule();
  refreshPictures();
}

// ---- Sun and moon ----

function fact(list, title, value) {
  list.append(element("div", {}, [element("dt", { text: title }), element("dd", { text: value })]));
}

function degrees(value) {
  return typeof value === "number" ? `${decimal(value, 1)}°` : "–";
}

async function refreshAstro() {
  let astro;
  try {
    astro = await request("GET", "astro");
  } catch (error) {
    return;
  }
  $("place").textContent =
    `${text("Latitude", "Breite")} ${degrees(astro.latitude)}, ` +
    `${text("Longitude", "Länge")} ${degrees(astro.longitude)}`;
  const body = (list, title, figures) => {
    list.replaceChildren(element("div", { className: "facts-title", text: title }));
    fact(list, text("Azimuth", "Richtung"), degrees(figures.azimuth));
    fact(list, text("Altitude", "Höhe"), degrees(figures.altitude));
    fact(list, text("Rise", "Aufgang"), figures.rise);
    fact(list, text("Set", "Untergang"), figures.set);
  };
  const sun = $("sun");
  body(sun, text("Sun", "Sonne"), astro.sun);
  if (astro.sun.dayLength) fact(sun, text("DayLength", "Tageslänge"), astro.sun.dayLength);
  const moon = $("moon");
  body(moon, text("Moon", "Mond"), astro.moon);
  fact(
    moon,
    text("Phase", "Phase"),
    `${astro.moon.phase} (${decimal(astro.moon.illuminated * 100, 1)} %)`
  );
}

// ---- Start ----

async function refreshAll() {
  try {
    state.channels = (await request("GET", "channels")).channels;
  } catch (error) {
    // The live feed's greeting tells more (a board with other firmware).
    if (error.status === 503) showBoardGone(noBoardText());
    return;
  }
  buildChannels();
  try {
    showStatus(await request("GET", "status"));
  } catch (error) {
    showMessage(error.message);
  }
  await refreshSchedule(true);
  await refreshAstro();
}

function applyTexts() {
  const heading = (key, fallback) => text(key, fallback).replace(/\s*%s\s*/, "").trim();
  $("channels-title").textContent = heading("tsChannels.Caption", "Kanäle");
  $("schedule-title").textContent = heading("tsSchedule.Caption", "Zeitplan");
  $("pictures-title").textContent = heading("tsVisualize.Caption", "Grafik");
  $("astro-title").textContent = heading("tsGeo.Caption", "Geo");
  $("voltage").previousElementSibling.textContent = text("InputVoltage", "Eingangsspannung");
  for (const button of document.querySelectorAll("button.mode"))
    button.textContent = modeText(button.dataset.mode);
  $("cloud").textContent = text("gbxCloud.Caption", "Wolken");
  $("cloud").title = text("btnCloud.Hint", "");
  $("storm").textContent = text("gbxStorm.Caption", "Gewitter");
  $("storm").title = text("btnStorm.Hint", "");
  $("save").textContent = text("mnuSaveEEPROM.Caption", "Einstellungen dauerhaft speichern");
  $("chart").alt = heading("tsTemp.Caption", "Chart");
  $("curve").alt = heading("tsVisualize.Caption", "Grafik");
}

async function start() {
  try {
    texts = await (await fetch("/texts.json")).json();
  } catch (error) {
    texts = {};
  }
  applyTexts();
  $("token-form").addEventListener("submit", submitToken);
  for (const button of document.querySelectorAll("button.mode"))
    button.addEventListener("click", async () => {
      if (!(await change("POST", "mode", { mode: button.dataset.mode }))) return;
      try {
        showStatus(await request("GET", "status"));
      } catch (error) {
        showMessage(error.message);
      }
      await refreshSchedule();
    });
  for (const name of ["cloud", "storm", "save"])
    $(name).addEventListener("click", () => change("POST", name));
  buildChannels();
  buildSchedule();
  await refreshAll();
  if (state.needsToken) return;
  connectLive();
  setInterval(() => {
    if (!state.boardPresent) return;
    refreshPictures();
    refreshAstro();
  }, refreshMs);
}

document.addEventListener("DOMContentLoaded", start);
