#!/usr/bin/env python3
"""Draws the frames of Pip, the demo owl, and writes character.ini beside them.

Needs only Python and ImageMagick's convert. Run it from anywhere; it writes into its own
folder. The frames are committed, so the demo works without running it.
"""
import pathlib
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
SIZE = 112

BODY = "#4a8fc4"
BELLY = "#dcecf7"
WING = "#3b76a6"
OUTLINE = "#22415e"
BEAK = "#f5a623"
FEET = "#f08c1a"
PUPIL = "#1d2733"
CHEEK = "#f4a7b9"


def owl(scale=1.0, eyes=1.0, look=0.0, wing=0.0, beak=0.0, bob=0.0):
    """The drawing commands for one pose. eyes: 1 open, 0 shut; look: pupils left (-1)
    to right (1); wing: the right wing raised, 0 to 1; beak: 0 shut, 1 wide open."""
    cx, base = SIZE / 2, SIZE - 4 + bob

    def p(x, y):  # a point of the 112-pixel owl, scaled about its feet
        return f"{cx + (x - cx) * scale:.1f},{base + (y - base) * scale:.1f}"

    def r(v):
        return f"{v * scale:.1f}"

    def ellipse(x, y, rx, ry, fill, stroke=OUTLINE, width=2):
        return (f"fill {fill} stroke {stroke} stroke-width {r(width)} "
                f"ellipse {p(x, y)} {r(rx)},{r(ry)} 0,360")

    cmds = [
        # feet
        ellipse(44, 106, 7, 3.5, FEET, FEET, 1),
        ellipse(68, 106, 7, 3.5, FEET, FEET, 1),
        # left wing, resting
        ellipse(24, 72, 10, 20, WING),
    ]
    # right wing, lifted by rotating about its shoulder
    sx, sy = cx + (86 - cx) * scale, base + (58 - base) * scale
    angle = -140 * wing
    cmds.append(f"push graphic-context translate {sx:.1f},{sy:.1f} rotate {angle:.1f} "
                f"fill {WING} stroke {OUTLINE} stroke-width {r(2)} "
                f"ellipse {r(2)},{r(14)} {r(10)},{r(19)} 0,360 pop graphic-context")
    cmds += [
        # ear tufts
        f"fill {BODY} stroke {OUTLINE} stroke-width {r(2)} "
        f"polygon {p(30, 30)} {p(34, 10)} {p(46, 24)}",
        f"fill {BODY} stroke {OUTLINE} stroke-width {r(2)} "
        f"polygon {p(82, 30)} {p(78, 10)} {p(66, 24)}",
        # body and belly
        ellipse(56, 64, 36, 42, BODY),
        ellipse(56, 78, 23, 25, BELLY, BELLY, 0),
        # cheeks
        ellipse(31, 60, 5, 3, CHEEK, CHEEK, 0),
        ellipse(81, 60, 5, 3, CHEEK, CHEEK, 0),
    ]
    for ex in (42, 70):
        cmds.append(ellipse(ex, 46, 13, 13, "white"))
        if eyes > 0.05:
            ry = 6 * eyes
            cmds.append(ellipse(ex + 4 * look, 47, 6, ry, PUPIL, PUPIL, 0))
            if eyes > 0.5:
                cmds.append(ellipse(ex + 4 * look + 2, 44, 1.8, 1.8, "white", "white", 0))
        if eyes < 0.05:  # shut: a lash line curving down, as in a smile
            cmds.append(ellipse(ex, 46, 13, 13, BODY))
            cmds.append(f"fill none stroke {OUTLINE} stroke-width {r(2.5)} "
                        f"ellipse {p(ex, 44)} {r(8)},{r(6)} 20,160")
        elif eyes < 0.95:  # the lid comes half way down
            cmds.append(f"fill {BODY} stroke {OUTLINE} stroke-width {r(2)} "
                        f"ellipse {p(ex, 46)} {r(13)},{r(13)} 180,360")
            cmds.append(f"fill none stroke {OUTLINE} stroke-width {r(2)} "
                        f"line {p(ex - 13, 46)} {p(ex + 13, 46)}")
    gap = 5 * beak
    cmds.append(f"fill {BEAK} stroke {OUTLINE} stroke-width {r(1.5)} "
                f"polygon {p(50, 56)} {p(62, 56)} {p(56, 64)}")
    if beak > 0:
        cmds.append(f"fill #b8431f stroke none polygon {p(51, 57)} {p(61, 57)} "
                    f"{p(56, 63 + gap)}")
        cmds.append(f"fill {BEAK} stroke {OUTLINE} stroke-width {r(1.5)} "
                    f"polygon {p(52, 60 + gap)} {p(60, 60 + gap)} {p(56, 66 + gap)}")
    return cmds


ANIMATIONS = {
    # name: (frame duration in ms, loops, poses)
    "Showing": (70, False, [dict(scale=s, eyes=0.2 if s < 1 else 1)
                            for s in (0.15, 0.35, 0.6, 0.85, 1.08, 1.0)]),
    "Hiding": (70, False, [dict(scale=s, eyes=0.2) for s in (1.0, 1.03, 0.8, 0.55, 0.3, 0.1)]),
    "Greet": (110, False, [dict(wing=w, beak=b, bob=-2 * w)
                           for w, b in ((0, 0), (0.95, 0.3), (1.12, 0.8), (0.95, 0.8),
                                        (1.12, 0.8), (0.95, 0.8), (1.12, 0.4), (0, 0))]),
    "Idle1_1": (160, False, [dict(look=l, eyes=e)
                             for l, e in ((0, 1), (0, 1), (-1, 1), (-1, 1), (0, 1), (0, 0.5),
                                          (0, 0), (0, 0.5), (0, 1), (1, 1), (1, 1), (0, 1))]),
    "Speaking": (120, True, [dict(beak=b) for b in (0.3, 0.9, 0.5, 1.0, 0.2, 0.7)]),
    "Think": (400, False, [dict(look=0.6, eyes=0.8), dict(look=1, eyes=0.8), dict(look=0.6)]),
}


def draw(path, cmds):
    subprocess.run(["/usr/bin/convert", "-size", f"{SIZE}x{SIZE}", "xc:none",
                    "-draw", " ".join(cmds), "-strip", f"PNG32:{path}"], check=True)


def main():
    ini = ["# Pip, the Deskhaven demo owl. Made by generate.py; see docs/character-format.md.",
           "[Character]", "Name=Pip", f"FrameSize={SIZE}x{SIZE}", "Showing=Showing",
           "Hiding=Hiding", "Speaking=Speaking", "Idle=Idle1_1", ""]
    for name, (ms, loops, poses) in ANIMATIONS.items():
        files = []
        for i, pose in enumerate(poses, 1):
            file = f"{name.lower()}-{i}.png"
            draw(HERE / "frames" / file, owl(**pose))
            files.append(f"frames/{file}")
        ini += [f"[Animation {name}]", f"Frames={', '.join(files)}", f"FrameDuration={ms}",
                f"Loop={'yes' if loops else 'no'}", ""]
    (HERE / "character.ini").write_text("\n".join(ini))


if __name__ == "__main__":
    (HERE / "frames").mkdir(exist_ok=True)
    main()
