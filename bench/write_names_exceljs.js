// Writes a number to the cell of every defined name of a workbook and saves it (ExcelJS).
const ExcelJS = require('exceljs');

async function main(path) {
  const book = new ExcelJS.Workbook();
  await book.xlsx.readFile(path);
  book.definedNames.model.forEach((entry, position) => {
    for (const range of entry.ranges) {
      const [sheet, cell] = range.split('!');
      book.getWorksheet(sheet.replace(/'/g, '')).getCell(cell.replace(/\$/g, '')).value =
        position * 0.5;
    }
  });
  await book.xlsx.writeFile(path);
}

main(process.argv[2]).catch((error) => {
  console.error(error);
  process.exit(1);
});
