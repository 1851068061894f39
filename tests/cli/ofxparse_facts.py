#!/usr/bin/python3
"""Prints what python3-ofxparse reads from a statement, one line per account,
statement and transaction, so that two forms of one statement can be compared.
Exits 1 when ofxparse cannot read the file."""
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


def main(path):
    warnings.simplefilter("ignore")
    try:
        with open(path, "rb") as f:
            ofx = ofxparse.OfxParser.parse(f)
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
    sys.exit(main(sys.argv[1]))
