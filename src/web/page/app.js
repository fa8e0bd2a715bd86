// The tank's page: the live status over the WebSocket, the channels, mode,
// cloud and storm, the pictures, the history's charts, the schedule and the
// sun and moon figures, all through the board's JSON API of this server.
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
    if (data.event === "alert") {
      refreshAlerts();
    } else if (data.event) {
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

// ---- Alerts ----

// The banner shows every active alert's text while one is active; the
// server's own alerts come over the live feed, those of a window that
// evaluates the board by asking now and then.
const alertRefreshMs = 15000;

function showAlerts(active) {
  const banner = $("alert-banner");
  $("alert-list").replaceChildren(
    ...active.map((alert) => element("li", { className: alert.level, text: alert.text }))
  );
  banner.classList.toggle("critical", active.some((alert) => alert.level === "critical"));
  banner.hidden = active.length === 0;
}

async function refreshAlerts() {
  try {
    showAlerts((await request("GET", "alerts")).active || []);
  } catch (error) {
    // The banner stays as it was; the status line tells what is wrong.
  }
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

// ---- History ----

const historyState = {
  range: "-24h",
  rowPoints: [], // the point of each chart row; null for the rows that mark a gap
  chosenTime: null, // the moment last under the pointer or finger; null: the newest
  temperature: null, // the charts (Dygraph)
  levels: null,
  asked: 0, // the latest request: an older answer that comes late is dropped
};
const temperatureColour = "#c2410c";
const fallbackColours = ["#8a99a6", "#d62728", "#2ca02c", "#1f77b4"];

function channelColour(index) {
  return markColour(state.channels[index] && state.channels[index].color) || fallbackColours[index];
}

// As many buckets as the chart has pixels across, within what is sensible.
function historyPointCount() {
  const width = $("history-temperature").clientWidth || 600;
  return Math.max(100, Math.min(500, Math.round(width)));
}

// The chart rows of a history document: one per bucket, and an empty one
// where buckets are missing, so that a time nobody recorded stays a gap.
function historyRows(answer, count) {
  const from = Date.parse(answer.from);
  const to = Date.parse(answer.to);
  const width = Math.ceil((to - from) / count);
  const rows = { temperature: [], levels: [], points: [], from, to };
  let previous = null;
  for (const point of answer.points) {
    const time = Date.parse(point.time);
    if (previous !== null && time - previous > 1.5 * width) {
      const gap = new Date(previous + width);
      rows.temperature.push([gap, null]);
      rows.levels.push([gap, null, null, null, null]);
      rows.points.push(null);
    }
    previous = time;
    const water = point.waterTemperature;
    const band =
      water === null
        ? null
        : [point.waterTemperatureMin ?? water, water, point.waterTemperatureMax ?? water];
    rows.temperature.push([new Date(time), band]);
    rows.levels.push([new Date(time), ...channelLetters.map((letter) => point[letter])]);
    rows.points.push(point);
  }
  return rows;
}

// Axis labels in German: times of day, days, months.
function axisTime(date, granularity) {
  const steps = Dygraph.Granularity;
  if (granularity >= steps.MONTHLY)
    return date.toLocaleDateString("de-DE", { month: "short", year: "2-digit" });
  if (granularity >= steps.DAILY)
    return date.toLocaleDateString("de-DE", { day: "numeric", month: "numeric" });
  return date.toLocaleTimeString("de-DE", { hour: "2-digit", minute: "2-digit" });
}

function historyMoment(date) {
  return date.toLocaleString("de-DE", {
    weekday: "short",
    day: "2-digit",
    month: "2-digit",
    year: historyState.range === "-1y" ? "numeric" : undefined,
    hour: "2-digit",
    minute: "2-digit",
  });
}

// The values of one row (or, with none, of the newest point) under the charts.
function showHistoryValues(row) {
  const rows = historyState.rowPoints;
  let point = row === null || row === undefined ? null : rows[row];
  if (!point) point = [...rows].reverse().find((candidate) => candidate) || null;
  $("history-time").textContent = point ? historyMoment(new Date(point.time)) : "–";
  const water = point && point.waterTemperature;
  $("history-temperature-value").textContent =
    water === null || water === undefined
      ? "–"
      : `${decimal(water, 1)} °C (${decimal(point.waterTemperatureMin ?? water, 1)} bis ` +
        `${decimal(point.waterTemperatureMax ?? water, 1)})`;
  channelLetters.forEach((letter, index) => {
    const value = $(`history-level-${letter}`);
    if (value) value.textContent = point ? `${decimal(point[letter], 1)} %` : "–";
  });
}

// Both charts mark the same moment, the one under the pointer or finger. It
// stays marked when the pointer leaves or the finger lifts, so that its
// values can be read.
function pointHistoryAt(row) {
  const point = historyState.rowPoints[row];
  if (!point) return;
  historyState.chosenTime = Date.parse(point.time);
  for (const chart of [historyState.temperature, historyState.levels])
    if (chart) chart.setSelection(row);
  showHistoryValues(row);
}

// The row nearest to a moment, after the charts were drawn anew.
function rowNear(time) {
  let best = null;
  historyState.rowPoints.forEach((point, row) => {
    if (!point) return;
    const distance = Math.abs(Date.parse(point.time) - time);
    if (best === null || distance < best.distance) best = { row, distance };
  });
  return best && best.row;
}

function followFinger(element, chart) {
  const follow = (event) => {
    const touch = event.touches[0];
    const graph = chart();
    if (!touch || !graph) return;
    const row = graph.findClosestRow(touch.clientX - element.getBoundingClientRect().left);
    if (row !== null && row >= 0) pointHistoryAt(row);
  };
  element.addEventListener("touchstart", follow, { passive: true });
  element.addEventListener("touchmove", follow, { passive: true });
}

// The card shows the values itself. dygraphs' legend measures itself with
// an inline style, which the page's security policy refuses: it is left out.
function leaveOutChartLegend() {
  Dygraph.PLUGINS = Dygraph.PLUGINS.filter((plugin) => plugin !== Dygraph.Plugins.Legend);
}

function historyOptions(extra, yAxis) {
  return {
    // No zoom or pan by dragging: a finger on the chart reads values, and
    // the page still scrolls.
    interactionModel: {},
    dateWindow: extra.dateWindow,
    axes: {
      x: { axisLabelFormatter: axisTime, pixelsPerLabel: 64 },
      y: { axisLabelWidth: 42, ...yAxis },
    },
    highlightCallback: (event, x, points, row) => pointHistoryAt(row),
    hideOverlayOnMouseOut: false,
    strokeWidth: 1.5,
    highlightCircleSize: 3,
    gridLineColor: "#e3e8ec",
    axisLineColor: "#9aa8b2",
    ...extra,
  };
}

function buildLevelValues() {
  const list = $("history-level-values");
  list.replaceChildren();
  channelLetters.forEach((letter, index) => {
    const swatch = element("span", { className: "swatch" });
    swatch.style.setProperty("background", channelColour(index));
    list.append(
      element("li", {}, [
        swatch,
        element("span", { text: channelName(index) }),
        element("output", { id: `history-level-${letter}`, text: "–" }),
      ])
    );
  });
}

function drawHistory(rows) {
  historyState.rowPoints = rows.points;
  const window = [rows.from, rows.to];
  const temperature = historyOptions(
    {
      file: rows.temperature,
      labels: ["Zeit", $("history-temperature-title").textContent],
      customBars: true,
      colors: [temperatureColour],
      fillAlpha: 0.25,
      dateWindow: window,
    },
    { axisLabelFormatter: (value) => decimal(value, 1) }
  );
  const levels = historyOptions(
    {
      file: rows.levels,
      labels: ["Zeit", ...channelLetters.map((letter, index) => channelName(index))],
      colors: channelLetters.map((letter, index) => channelColour(index)),
      valueRange: [0, 100],
      dateWindow: window,
    },
    { axisLabelFormatter: (value) => `${Math.round(value)} %` }
  );
  if (historyState.temperature) {
    historyState.temperature.updateOptions(temperature);
    historyState.levels.updateOptions(levels);
  } else {
    historyState.temperature = new Dygraph($("history-temperature"), rows.temperature, temperature);
    historyState.levels = new Dygraph($("history-levels"), rows.levels, levels);
  }
  buildLevelValues();
  const row = historyState.chosenTime === null ? null : rowNear(historyState.chosenTime);
  if (row !== null) {
    pointHistoryAt(row);
    return;
  }
  for (const chart of [historyState.temperature, historyState.levels]) chart.clearSelection();
  showHistoryValues(null);
}

async function refreshHistory() {
  const asked = ++historyState.asked;
  const count = historyPointCount();
  const message = $("history-message");
  let answer;
  try {
    answer = await request("GET", `history?from=${historyState.range}&points=${count}`);
  } catch (error) {
    if (asked !== historyState.asked) return;
    $("history-charts").hidden = true;
    message.textContent = error.status === 401 ? "" : error.message;
    return;
  }
  if (asked !== historyState.asked) return;
  const rows = historyRows(answer, count);
  const empty = rows.points.length === 0;
  message.textContent = empty
    ? text("historyEmpty", "Aus diesem Zeitraum ist nichts aufgezeichnet.")
    : "";
  // The charts are drawn while shown: a hidden one has no size.
  $("history-charts").hidden = empty;
  if (!empty) drawHistory(rows);
}

function chooseHistoryRange(button) {
  historyState.range = button.dataset.range;
  historyState.chosenTime = null;
  for (const other of document.querySelectorAll("button.range"))
    other.setAttribute("aria-pressed", String(other === button));
  refreshHistory();
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
  $("history-levels-title").textContent = heading("tsChannels.Caption", "Kanäle");
  $("curve").alt = heading("tsVisualize.Caption", "Grafik");
  $("alert-title").textContent = text("AlertBannerTitle", "Alarm");
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
  leaveOutChartLegend();
  for (const button of document.querySelectorAll("button.range"))
    button.addEventListener("click", () => chooseHistoryRange(button));
  followFinger($("history-temperature"), () => historyState.temperature);
  followFinger($("history-levels"), () => historyState.levels);
  window.addEventListener("resize", () => {
    for (const chart of [historyState.temperature, historyState.levels]) if (chart) chart.resize();
  });
  buildChannels();
  buildSchedule();
  await refreshAll();
  if (state.needsToken) return;
  await refreshHistory();
  await refreshAlerts();
  setInterval(refreshAlerts, alertRefreshMs);
  connectLive();
  setInterval(() => {
    // The history goes on while the board is away.
    refreshHistory();
    if (!state.boardPresent) return;
    refreshPictures();
    refreshAstro();
  }, refreshMs);
}

document.addEventListener("DOMContentLoaded", start);
