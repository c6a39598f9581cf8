# Runs the wrapper ZRN.BAT in the real cmd.exe of Windows, with delayed
# expansion on (/V:ON), as a user's typed line does: a word holding , and =
# (which only the echoed-words way keeps inside the word: the way taken on
# Windows), a typed e with an acute accent, and a folder named with CJK characters. Each line must
# land the same cmd in the one folder that matches. Run by the CI workflow.
param([Parameter(Mandatory = $true)] [string] $Program)
$ErrorActionPreference = 'Stop'
$repo = Split-Path -Parent (Split-Path -Parent $PSScriptRoot)
# RUNNER_TEMP where there is one: the temporary folder can be named by a
# short 8.3 name there, and cd names the folder as it was entered.
$base = if ($env:RUNNER_TEMP) { $env:RUNNER_TEMP } else { [IO.Path]::GetTempPath() }
$root = Join-Path $base ('zrn-smoke-' + [guid]::NewGuid().ToString('N').Substring(0, 8))
$programDir = New-Item -ItemType Directory -Path (Join-Path $root 'program')
Copy-Item -LiteralPath $Program -Destination (Join-Path $programDir 'ZARNPATH.EXE')
Copy-Item -LiteralPath (Join-Path $repo 'resources/ZRN.BAT') -Destination $programDir
$work = New-Item -ItemType Directory -Path (Join-Path $root 'work')

$cases = @(
    @{ Words = 'Smith,John=x'; Folder = 'Smith,John=x' },
    @{ Words = 'caf' + [char]0xE9; Folder = 'Caf' + [char]0xE9 + ' au lait' },
    @{ Words = 'reports'; Folder = ([string][char]0x8CC7 + [char]0x6599 + ' reports') }
)
foreach ($case in $cases) { New-Item -ItemType Directory -Path (Join-Path $work $case.Folder) | Out-Null }

$failed = 0
foreach ($case in $cases) {
    $out = Join-Path $root 'cd.txt'
    Remove-Item -LiteralPath $out -ErrorAction SilentlyContinue
    # /U: cmd's own output (cd) in UTF-16, so that any name survives.
    $line = "cd /d `"$work`" & call `"$programDir\ZRN.BAT`" $($case.Words) & cd > `"$out`""
    $cmd = Start-Process -FilePath "$env:SystemRoot\System32\cmd.exe" -ArgumentList "/D /U /V:ON /S /C `"$line`"" `
        -NoNewWindow -PassThru -RedirectStandardOutput (Join-Path $root 'stdout.txt') `
        -RedirectStandardError (Join-Path $root 'stderr.txt')
    if (-not $cmd.WaitForExit(120000)) {
        $cmd.Kill()
        Write-Output "ZRN $($case.Words): still running after 120 s"
        $failed++
        continue
    }
    $landed = if (Test-Path -LiteralPath $out) { (Get-Content -LiteralPath $out -Encoding Unicode | Select-Object -First 1) } else { '(nothing)' }
    $expected = Join-Path $work $case.Folder
    if ($landed -ceq $expected) {
        Write-Output "ZRN $($case.Words): landed in $landed"
    } else {
        Write-Output "ZRN $($case.Words): landed in $landed, expected $expected"
        Get-Content -LiteralPath (Join-Path $root 'stdout.txt'), (Join-Path $root 'stderr.txt') | Write-Output
        $failed++
    }
}
Remove-Item -LiteralPath $root -Recurse -Force -ErrorAction SilentlyContinue
Write-Output "$($cases.Count - $failed) passed, $failed failed"
exit $failed
