"""The progress callable is installed and removed; only callables are taken."""
import pytest

import ovcbridge


def test_only_a_callable_or_none_is_taken():
    ovcbridge.SetProgress(lambda **step: None)
    ovcbridge.SetProgress(None)
    with pytest.raises(TypeError):
        ovcbridge.SetProgress(42)
