"""The numbers of the program's resources, read by name from the C++ headers
that define them, so that the tools writing resource indexes never hold a
number of their own."""

import os
import re

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
HEADERS = (
    "resources/ResourceIds.h",
    "src/wnd/Controls.h",  # the check list's pictures
    "platform/ui/win/ResourceRegistry.h",  # the program icon
)
_ID = re.compile(r"\b(k\w+)\s*=\s*(\d+)\s*[,;]")


def resource_id(name):
    """The number `name` (such as "kRowPicturesSmall") is given in HEADERS."""
    for header in HEADERS:
        with open(os.path.join(ROOT, header)) as f:
            for found, number in _ID.findall(f.read()):
                if found == name:
                    return int(number)
    raise KeyError("no resource id named %s in %s" % (name, ", ".join(HEADERS)))
