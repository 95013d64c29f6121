import { test } from 'node:test';
import assert from 'node:assert/strict';
import { cellOfStop, emptyTable, fileEntries, levelLabel, pasteInto, pastedRows, tableFromFile, tableToFile } from '../../src/table.js';

test('levels are labelled as their share of the budget', () => {
  assert.deepEqual(Array.from({ length: 10 }, (_, l) => levelLabel(l)), ['0', '1/9', '2/9', '3/9', '4/9', '5/9', '6/9', '7/9', '8/9', '1']);
});

test('a file is split into entries as the program reads it', () => {
  const rows = [
    { name: 'blanks, tabs and line ends separate', text: '1 2\t3\r\n4\n\n5', entries: ['1', '2', '3', '4', '5'] },
    { name: 'other control characters separate', text: '1\x012\x0b3', entries: ['1', '2', '3'] },
    { name: 'a comma does not separate', text: '1,5 2', entries: ['1,5', '2'] },
    { name: 'a byte 0x1A ends the data', text: '1 2\x1a3 4', entries: ['1', '2'] },
    { name: 'a byte-order mark stays in the first entry', text: '\ufeff1 2', entries: ['\ufeff1', '2'] },
    { name: 'nothing after the 80th entry counts', text: Array.from({ length: 85 }, (_, i) => String(i)).join(' '), entries: Array.from({ length: 80 }, (_, i) => String(i)) },
  ];
  for (const row of rows) assert.deepEqual(fileEntries(row.text), row.entries, row.name);
});

test('a short file leaves the missing cells empty, in reading order', () => {
  const table = tableFromFile('1 2 3 4 5 6 7 8 9 10 11 12');
  assert.deepEqual(table[0], ['1', '2', '3', '4', '5', '6', '7', '8', '9', '10']);
  assert.deepEqual(table[1].slice(0, 3), ['11', '12', '']);
  assert.deepEqual(table[7], Array(10).fill(''));
});

test('a saved table reads back cell for cell, empty cells as 0 so nothing moves up', () => {
  const table = emptyTable().map((row, p) => row.map((_, l) => (p === 2 && l === 4 ? '' : `${p}.${l}e1`)));
  const saved = tableToFile(table);
  assert.equal(saved.split('\n').length, 9, 'eight lines and a final line end');
  const back = tableFromFile(saved);
  assert.equal(back[2][4], '0');
  assert.equal(back[2][5], '2.5e1');
  assert.equal(back[7][9], '7.9e1');
});

test('pasted text is split into rows and cells', () => {
  const rows = [
    { name: 'a spreadsheet block', text: '1\t2\t3\r\n4\t5\t6\r\n', rows: [['1', '2', '3'], ['4', '5', '6']] },
    { name: 'commas and blanks', text: '1, 2,3\n4 5', rows: [['1', '2', '3'], ['4', '5']] },
    { name: 'empty lines dropped', text: '\n1\n\n2\n', rows: [['1'], ['2']] },
  ];
  for (const row of rows) assert.deepEqual(pastedRows(row.text), row.rows, row.name);
});

test('a pasted block lands at the cell, cut at the edges; a line or column fills in reading order', () => {
  const block = pasteInto(emptyTable(), 6, 8, [['a', 'b', 'c'], ['d', 'e', 'f'], ['g', 'h', 'i']]);
  assert.deepEqual([block[6][8], block[6][9], block[7][8], block[7][9]], ['a', 'b', 'd', 'e']);
  assert.equal(block.flat().filter((c) => c !== '').length, 4, 'what falls outside is dropped');

  const column = pasteInto(emptyTable(), 0, 8, [['1'], ['2'], ['3']]);
  assert.deepEqual([column[0][8], column[0][9], column[1][0]], ['1', '2', '3']);

  const all = pasteInto(emptyTable(), 0, 0, [Array.from({ length: 90 }, (_, i) => String(i))]);
  assert.equal(all[7][9], '79', 'the 80th entry ends the table');
});

test('a stop line names its cell, counted from 0, with the program\'s words', () => {
  const rows = [
    { line: 'allocate-optimum: function.txt, project 1, level 2: "12abc" is not a number', cell: { project: 0, level: 2, words: '"12abc" is not a number' } },
    { line: 'allocate-optimum: function.txt, project 8, level 9: 1e39 is too large', cell: { project: 7, level: 9, words: '1e39 is too large' } },
    { line: 'allocate-optimum: cannot open function.txt: No such file or directory', cell: null },
    { line: 'allocate: function.txt, project 9, level 0: x', cell: null },
  ];
  for (const row of rows) assert.deepEqual(cellOfStop(row.line), row.cell, row.line);
});
