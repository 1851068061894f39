// Prints what the npm OFX readers read from statements: one JSON line per file
// and reader, holding the reader's own error, or the transactions it found as
// [FITID, amount, date, name], so that a statement and its cleaned forms can be
// compared. Neither reader looks at the character set, so each file is decoded
// as its header says, as a program built on them must do itself.
// Usage: node transactions.mjs INSTALL_DIR FILE...   (INSTALL_DIR holds node_modules)
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const [installed, ...files] = process.argv.slice(2);
const require = createRequire(resolve(installed, "package.json"));
const readers = {
    "ofx-js": (await import(pathToFileURL(require.resolve("ofx-js")))).parseSync,
    "node-ofx-parser": require("node-ofx-parser").parse,
};

// Windows-1252 where the OFX 1 header or the XML declaration names it (or Latin-1),
// UTF-8 otherwise.
function decode(bytes) {
    const head = bytes.subarray(0, 1024).toString("latin1").toUpperCase();
    const legacy = /CHARSET:\s*(1252|ISO-8859-1)|ENCODING=["'](WINDOWS-1252|ISO-8859-1)/.test(head);
    const utf8 = /ENCODING:\s*(UTF-8|UNICODE)/.test(head);
    return new TextDecoder(legacy && !utf8 ? "windows-1252" : "utf-8").decode(bytes);
}

const text = (value) => (value == null ? "" : typeof value === "object" ? JSON.stringify(value) : String(value));

// Every object with a FITID is a transaction, wherever the reader put it; an
// investment transaction has its amount beside it, in the TOTAL of its parent.
function transactions(node, parent, found) {
    if (Array.isArray(node)) {
        node.forEach((item) => transactions(item, parent, found));
    } else if (node && typeof node === "object") {
        if ("FITID" in node) {
            const fields = [node.FITID, node.TRNAMT ?? parent?.TOTAL, node.DTPOSTED ?? node.DTTRADE];
            found.push([...fields, node.NAME ?? node.PAYEE?.NAME].map(text));
        }
        Object.values(node).forEach((value) => transactions(value, node, found));
    }
    return found;
}

for (const file of files) {
    const data = decode(readFileSync(file));
    for (const [reader, parse] of Object.entries(readers)) {
        let line;
        try {
            line = { file, reader, transactions: transactions(parse(data), null, []) };
        } catch (error) {
            line = { file, reader, error: String(error?.message ?? error).split("\n")[0] };
        }
        console.log(JSON.stringify(line));
    }
}
