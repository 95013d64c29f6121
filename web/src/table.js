// The profit table as the page holds it: 8 projects by 10 levels of text, exactly as
// typed, so that the program itself judges every entry. Nothing here reads a number.

export const PROJECTS = 8;
export const LEVELS = 10;

// Level l is the share l/9 of the budget: "0", "1/9" ... "8/9", "1".
export function levelLabel(level) {
  if (level === 0) return '0';
  if (level === LEVELS - 1) return '1';
  return `${level}/9`;
}

export function emptyTable() {
  return Array.from({ length: PROJECTS }, () => Array(LEVELS).fill(''));
}

// The entries of a function.txt in the order the program reads them: blanks and control
// characters separate them, a byte 0x1A ends the data, nothing after the 80th counts.
export function fileEntries(text) {
  const end = text.indexOf('\x1a');
  const data = end < 0 ? text : text.slice(0, end);
  const entries = [];
  let token = '';
  for (const ch of data) {
    if (ch.charCodeAt(0) <= 0x20) {
      if (token !== '') entries.push(token);
      token = '';
      if (entries.length === PROJECTS * LEVELS) return entries;
    } else {
      token += ch;
    }
  }
  if (token !== '' && entries.length < PROJECTS * LEVELS) entries.push(token);
  return entries;
}

// A table from a function.txt's text; missing entries stay empty (the program takes them as 0).
export function tableFromFile(text) {
  const table = emptyTable();
  fileEntries(text).forEach((entry, i) => {
    table[Math.floor(i / LEVELS)][i % LEVELS] = entry;
  });
  return table;
}

// The table as a function.txt: one line per project, LF line ends. An empty cell is written
// as 0, as the program would take a missing entry, so no later entry moves up a place.
export function tableToFile(table) {
  return table.map((row) => row.map((cell) => (cell.trim() === '' ? '0' : cell.trim())).join(' ')).join('\n') + '\n';
}

// Text pasted from a spreadsheet or an editor: rows by line breaks, cells by tabs, commas,
// semicolons or blanks. Empty lines are dropped.
export function pastedRows(text) {
  return text
    .split(/\r\n|\n|\r/)
    .map((line) => line.split(/[\t,; ]+/).filter((cell) => cell !== ''))
    .filter((row) => row.length > 0);
}

// The table after pasting rows at (project, level), both counted from 0. A block of several
// rows and columns lands as a block, cut at the table's edges; a single row or column fills
// the cells in the file's reading order (level after level, then the next project).
export function pasteInto(table, project, level, rows) {
  const next = table.map((row) => row.slice());
  const isBlock = rows.length > 1 && rows.some((row) => row.length > 1);
  if (isBlock) {
    rows.forEach((row, r) => {
      row.forEach((cell, c) => {
        if (project + r < PROJECTS && level + c < LEVELS) next[project + r][level + c] = cell;
      });
    });
    return next;
  }
  let index = project * LEVELS + level;
  for (const cell of rows.flat()) {
    if (index >= PROJECTS * LEVELS) break;
    next[Math.floor(index / LEVELS)][index % LEVELS] = cell;
    index += 1;
  }
  return next;
}

// The cell a stop's line names ("function.txt, project 3, level 4: ..."), counted from 0,
// with the program's words after the place; null when the line names no cell.
export function cellOfStop(line) {
  const match = /, project (\d+), level (\d+): (.*)$/.exec(line);
  if (match === null) return null;
  const project = Number(match[1]) - 1;
  const level = Number(match[2]);
  if (project < 0 || project >= PROJECTS || level < 0 || level >= LEVELS) return null;
  return { project, level, words: match[3] };
}
