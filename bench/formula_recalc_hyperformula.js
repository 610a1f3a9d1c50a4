// Builds the recalculation benchmark's model in HyperFormula, changes the
// first 100 inputs in one batch and prints the seconds the recalculation
// took and the value of the first row's last formula, for comparison.
const { HyperFormula } = require('hyperformula');

const ROWS = 1000;
const COLUMNS = 100;  // formula columns after the input column A
const CHANGED = 100;

function letters(column) {  // 1-based
  let name = '';
  for (let c = column; c > 0; c = Math.floor((c - 1) / 26)) {
    name = String.fromCharCode(65 + ((c - 1) % 26)) + name;
  }
  return name;
}

// The formula of 1-based column `column` (2 and on) in row `row`, as the
// C++ benchmark writes it.
function formula(row, column) {
  const previous = letters(column - 1) + row;
  if (column === 2) return `=A${row}*1.5`;
  if (column % 10 === 0) return `=SUM($B${row}:${previous})/${column}`;
  return `=${previous}*1.01+$A${row}`;
}

const data = [];
for (let row = 1; row <= ROWS; ++row) {
  const cells = [row];
  for (let column = 2; column <= COLUMNS + 1; ++column) cells.push(formula(row, column));
  data.push(cells);
}
const engine = HyperFormula.buildFromArray(data, { licenseKey: 'gpl-v3' });
const start = process.hrtime.bigint();
engine.batch(() => {
  for (let row = 0; row < CHANGED; ++row) {
    engine.setCellContents({ sheet: 0, row, col: 0 }, [[row + 1 + 1000]]);
  }
});
const seconds = Number(process.hrtime.bigint() - start) / 1e9;
console.log(seconds, engine.getCellValue({ sheet: 0, row: 0, col: COLUMNS }));
