#!/usr/bin/env python3
"""Validates output of oskel-uploader-cli against its JSON Schema.

Usage: validate-cli-json.py SCHEMA DEFINITION FILE [lines]
DEFINITION names one of the schema's $defs (probe, about, list, ports,
operation, error, event). With "lines", every line of FILE is one JSON
value; otherwise FILE holds exactly one JSON object and a newline.
Prints what does not validate and exits 1; exits 0 when all is valid.
"""
import json
import sys

import jsonschema


def main():
    schema_path, definition, path = sys.argv[1:4]
    lines = len(sys.argv) > 4 and sys.argv[4] == "lines"
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    target = dict(schema)
    target.pop("anyOf", None)
    target["$ref"] = "#/$defs/" + definition
    validator = jsonschema.Draft202012Validator(target)
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    values = text.splitlines() if lines else [text]
    if not lines and (not text.endswith("\n") or text.count("\n") != 1):
        print("not one line: " + repr(text[:200]))
        return 1
    failed = 0
    for value in values:
        try:
            document = json.loads(value)
        except ValueError as e:
            print("not JSON (%s): %r" % (e, value[:200]))
            failed += 1
            continue
        for error in validator.iter_errors(document):
            print("%s at %s: %s" % (definition, "/".join(map(str, error.absolute_path)), error.message))
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
