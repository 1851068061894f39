#!/usr/bin/python3
"""Prints what python3-ofxparse reads from a statement, one line per account,
statement and transaction, so that two forms of one statement can be compared.
Exits 1 when ofxparse cannot read the file.

With --transactions FILE...: one JSON line per file, with ofxparse's own error
or the transactions it found as [FITID, amount, date, name]."""
import json
import sys
import warnings

import ofxparse


def shown(value):
    if isinstance(value, (list, tuple)):
        return [shown(item) for item in value]
    return facts(value) if hasattr(value, "__dict__") else str(value)


def facts(obj):
    return [
        (key, shown(value))
        for key, value in sorted(vars(obj).items())
        if key not in ("statement", "transactions", "positions")
    ]


def parse(path):
    with open(path, "rb") as f:
        return ofxparse.OfxParser.parse(f)


def transactions(path):
    try:
        ofx = parse(path)
    except Exception as error:  # any failure to read counts the same
        return {"file": path, "error": f"{type(error).__name__} {error}"}
    found = []
    for account in ofx.accounts:
        for t in getattr(getattr(account, "statement", None), "transactions", []):
            # An investment transaction has a trade date and a total instead.
            amount = getattr(t, "amount", getattr(t, "total", None))
            date = getattr(t, "date", getattr(t, "tradeDate", None))
            found.append([str(v if v is not None else "") for v in (t.id, amount, date, getattr(t, "payee", ""))])
    return {"file": path, "transactions": found}


def main(path):
    try:
        ofx = parse(path)
    except Exception as error:  # any failure to read counts the same
        print("unreadable:", type(error).__name__, error)
        return 1
    for account in ofx.accounts:
        print("account", facts(account))
        statement = getattr(account, "statement", None)
        if statement is None:
            continue
        print("statement", facts(statement))
        for transaction in getattr(statement, "transactions", []):
            print("transaction", facts(transaction))
        for position in getattr(statement, "positions", []):
            print("position", facts(position))
    return 0


if __name__ == "__main__":
    warnings.simplefilter("ignore")
    if sys.argv[1] == "--transactions":
        for name in sys.argv[2:]:
            print(json.dumps(transactions(name)))
        sys.exit(0)
    sys.exit(main(sys.argv[1]))
