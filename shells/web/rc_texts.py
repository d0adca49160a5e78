#!/usr/bin/env python3
"""Writes the page's texts.js: the menu and the dialogs' own texts, read from
the resource script that zifra.exe is built from, so the browser game shows
exactly the Windows game's words.

usage: rc_texts.py ZIFRA_RC RESOURCE_IDS_H OUTPUT_JS
"""
import json
import re
import sys

# The two ids the resource script takes from windows.h.
WINDOWS_IDS = {"IDOK": 1, "IDCANCEL": 2}


def ids_of(header):
    ids = dict(WINDOWS_IDS)
    for name, value in re.findall(r"^#define\s+(\w+)\s+(\d+)", header, re.M):
        ids[name] = int(value)
    return ids


def number(token, ids):
    token = token.strip()
    return int(token) if re.fullmatch(r"-?\d+", token) else ids[token]


def block(script, header):
    """The lines between BEGIN and the END that matches it, after `header`."""
    lines = script[script.index(header):].splitlines()[1:]
    depth, body = 0, []
    for line in lines:
        word = line.strip()
        if word == "BEGIN":
            depth += 1
            if depth == 1:
                continue
        elif word == "END":
            depth -= 1
            if depth == 0:
                return body
        if depth >= 1:
            body.append(line)
    raise SystemExit(f"rc_texts.py: no END for {header!r}")


def menu(script, ids):
    menus = []
    for line in block(script, "IDR_MAIN_MENU MENU"):
        popup = re.match(r'\s*POPUP\s+"([^"]*)"', line)
        item = re.match(r'\s*MENUITEM\s+"([^"]*)"\s*,\s*(\w+)', line)
        if popup:
            menus.append({"caption": popup.group(1), "items": []})
        elif item:
            menus[-1]["items"].append({"id": number(item.group(2), ids), "caption": item.group(1)})
    return menus


def dialog(script, name, ids):
    header = re.search(rf"^{name} DIALOG(EX)?\b.*$", script, re.M).group(0)
    caption = re.search(r'^CAPTION\s+"([^"]*)"', script[script.index(header):].split("BEGIN", 1)[0], re.M)
    buttons, groups = {}, []
    for line in block(script, header):
        control = re.match(r'\s*(DEFPUSHBUTTON|PUSHBUTTON|GROUPBOX)\s+"([^"]*)"\s*,\s*([\w-]+)', line)
        if not control:
            continue
        kind, text, ident = control.groups()
        if kind == "GROUPBOX":
            groups.append(text)
        else:
            buttons[number(ident, ids)] = text
    return {"caption": caption.group(1) if caption else "", "buttons": buttons, "groups": groups}


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as f:
        script = f.read()
    with open(sys.argv[2], encoding="utf-8") as f:
        ids = ids_of(f.read())
    texts = {
        "menu": menu(script, ids),
        "prompt": dialog(script, "IDD_PROMPT", ids),
        "information": dialog(script, "IDD_INFORMATION", ids),
        "registration": dialog(script, "IDD_REGISTRATION", ids),
    }
    with open(sys.argv[3], "w", encoding="utf-8") as f:
        f.write("// Written by rc_texts.py from zifra.rc; never edit by hand.\n")
        for name, value in texts.items():
            f.write(f"export const {name} = {json.dumps(value, ensure_ascii=False)};\n")


if __name__ == "__main__":
    main()
