# Runs the git recipes of the README in a scratch repository and shows what git prints and how it
# exits: line diffs through textconv, the external diff driver (by attribute and by
# GIT_EXTERNAL_DIFF, with new and deleted files), the difftool (with a stand-in for the window that
# prints the counts of the two files it is given) and the merge driver.
cli=$1
[[ $cli == */* ]] || cli=$(command -v "$cli")
mkdir bin && ln -s "$cli" bin/carryover-cli
unset XDG_CONFIG_HOME GIT_DIR GIT_WORK_TREE GIT_INDEX_FILE
export PATH=$PWD/bin:$PATH HOME=$PWD GIT_CONFIG_NOSYSTEM=1 GIT_PAGER=cat LC_ALL=C
export GIT_AUTHOR_NAME=A GIT_AUTHOR_EMAIL=a@example.org GIT_COMMITTER_NAME=A GIT_COMMITTER_EMAIL=a@example.org
run() {
    echo "\$ $*"
    "$@" 2>&1
    echo "[exit $?]"
}

git init -q -b main repo && cd repo || exit 1
cp ../sample.plist settings.plist && git add settings.plist && git commit -qm sample
cp ../config.plist settings.plist && git commit -qam mine
echo '*.plist diff=plist' > .gitattributes

git config diff.plist.textconv 'carryover-cli dump --paths'
run git diff HEAD~1 HEAD
git config diff.plist.textconv 'carryover-cli format'
run git diff --stat HEAD~1 HEAD
git config --unset diff.plist.textconv

git config diff.plist.command 'carryover-cli git-diff'
run git diff HEAD~1 HEAD
run git log -p --ext-diff --format=%s -1
cp settings.plist added.plist && git add added.plist && git rm -q --cached settings.plist
run git diff --cached
run git diff --cached --no-renames
git reset -q && git config --unset diff.plist.command
run env GIT_EXTERNAL_DIFF='carryover-cli git-diff' git diff HEAD~1 HEAD -- '*.plist'
rm added.plist

printf '#!/bin/sh\nexec carryover-cli diff --stat "$@"\n' > ../bin/carryover && chmod +x ../bin/carryover
git config difftool.carryover.cmd 'carryover "$LOCAL" "$REMOTE"'
run git difftool -y -t carryover HEAD~1 -- settings.plist

echo 'settings.plist merge=carryover' >> .gitattributes
git config merge.carryover.driver 'carryover-cli merge %A %B -o %A'
git checkout -q -b new-sample HEAD~1
cp ../new-sample.plist settings.plist && git commit -qam 'new sample'
git checkout -q main
run git merge -q --no-edit new-sample
run carryover-cli dump --paths settings.plist
run git status --short
