#!/usr/bin/env node
// Checks SARIF logs against the SARIF 2.1.0 schema: each file must be valid
// UTF-8, one JSON document, and valid under the schema.
// Usage: node scripts/sarif-validator/validate.js LOG.sarif...
// The validator (ajv, ajv-formats) and the schema are fetched into
// third_party/sarif-validator/ by scripts/fetch-sarif-validator.sh;
// RZT_SARIF_VALIDATOR names another folder holding them.
'use strict';

const fs = require('fs');
const path = require('path');
const { createRequire } = require('module');

const home = process.env.RZT_SARIF_VALIDATOR ||
  path.join(__dirname, '..', '..', 'third_party', 'sarif-validator');
const load = createRequire(path.join(home, 'package.json'));
const Ajv2020 = load('ajv/dist/2020');
const addFormats = load('ajv-formats');

const schema = JSON.parse(fs.readFileSync(path.join(home, 'sarif-2.1.0.json'), 'utf8'));
const ajv = new Ajv2020({ allErrors: true, strict: false });
addFormats(ajv);
const validate = ajv.compile(schema);

const files = process.argv.slice(2);
if (files.length === 0) {
  console.error('usage: validate.js LOG.sarif...');
  process.exit(2);
}
let failed = false;
for (const file of files) {
  let document;
  try {
    const text = new TextDecoder('utf-8', { fatal: true }).decode(fs.readFileSync(file));
    document = JSON.parse(text);
  } catch (error) {
    console.error(`${file}: not a UTF-8 JSON document: ${error.message}`);
    failed = true;
    continue;
  }
  if (validate(document)) {
    console.log(`${file}: valid SARIF 2.1.0`);
  } else {
    failed = true;
    for (const e of validate.errors) console.error(`${file}: ${e.instancePath || '/'} ${e.message}`);
  }
}
process.exit(failed ? 1 : 0);
